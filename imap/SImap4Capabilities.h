// What the server announces of itself (CAPABILITY), as far as the login
// needs it: STARTTLS, LOGINDISABLED (no LOGIN on this connection) and the
// PLAIN mechanism of AUTHENTICATE.
#pragma once

#include <string>

struct SImap4Capabilities {
    bool known = false;
    bool startTls = false;
    bool loginDisabled = false;
    bool authPlain = false;

    void Clear() { *this = SImap4Capabilities(); }
    // From "* CAPABILITY ..." or a response code "[CAPABILITY ...]" in `line`;
    // false (nothing changed) when the line has neither.
    bool TakeFrom(const std::string& line);
};

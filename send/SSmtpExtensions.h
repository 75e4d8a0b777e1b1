// What an EHLO reply says the server can do (STARTTLS, AUTH mechanisms,
// SIZE), the choice of the AUTH mechanism, and the AUTH responses.
#pragma once

#include <string>
#include <vector>

struct SSmtpExtensions {
    bool startTls = false;
    std::vector<std::string> authMechanisms;  // upper case
    long long sizeLimit = 0;                  // 0: none announced

    // One line of the EHLO reply ("250-SIZE 10240000", "250 AUTH PLAIN LOGIN").
    void Note(const char* line);
};

enum class SSmtpAuthMechanism { None, Plain, Login, CramMd5 };

// The strongest mechanism offered that may be used: CRAM-MD5 never shows the
// password; PLAIN and LOGIN do, so they are used only inside TLS unless the
// user allowed it.
SSmtpAuthMechanism ChooseSmtpAuth(const std::vector<std::string>& offered, bool secured, bool plainTextAllowed);
const char* SmtpAuthName(SSmtpAuthMechanism mechanism);

std::string SmtpBase64(const std::string& text);
// The base64 text of a 334 reply, decoded; empty when it is not base64.
std::string SmtpDecodeChallenge(const std::string& base64);
// AUTH PLAIN: base64 of NUL user NUL password.
std::string SmtpPlainResponse(const std::string& user, const std::string& password);
// CRAM-MD5: base64 of the user, a blank and the HMAC-MD5 of the challenge keyed
// with the password, in lowercase hexadecimal.
std::string SmtpCramMd5Response(const std::string& user, const std::string& password, const std::string& challenge);

// A mailto: URL (RFC 6068) as a browser or the desktop hands it over: the
// addresses before "?", then to, cc, bcc, subject and body fields, each
// percent-encoded UTF-8. Other fields (In-Reply-To, any header) are dropped:
// a link on a web page must not set them.
#pragma once

#include <string>

struct SMailtoFields {
    // Shift_JIS, as the compose window's fields.
    std::string to, cc, bcc, subject;
    std::string body;  // lines end in LF
};

// `url` is what follows "mailto:", Shift_JIS (a command-line argument made
// Shift_JIS; %XX escapes stay as they were typed). A stretch of escapes that is
// not UTF-8 with a Shift_JIS form is kept as typed, so nothing is lost.
SMailtoFields ParseMailtoUrl(const std::string& url);

// The text of a command-line mailto: as one request line to the running copy:
// CR and LF escaped, which ParseMailtoUrl reads back.
std::string MailtoRequestLine(const std::string& url);

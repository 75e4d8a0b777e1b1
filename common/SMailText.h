// The text of a stored mail as the viewer shows it, in UTF-8 so that nothing
// is lost on screen: every header field decoded (any charset), an empty line,
// then the body: each text part decoded from its transfer encoding and its
// charset, HTML as its text, of an alternative the plain part, a forwarded
// message with its own header, and for any other part one line saying that a
// file is attached. Line ends are LF. The stored file is never changed.
#pragma once

#include <string>
#include <string_view>

// The text of the message in `bytes`.
std::string MailTextUtf8(std::string_view bytes);

// The same for a file; false when it cannot be read. A mail beyond `limit`
// bytes is read up to it, with a last line saying so.
bool MailFileTextUtf8(const char* sjisPath, std::string& utf8, std::size_t limit);

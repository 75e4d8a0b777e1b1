// The text of a stored mail as the viewer shows it, in UTF-8 so that nothing
// is lost on screen: every header field decoded (any charset), an empty line,
// then the body: each text part decoded from its transfer encoding and its
// charset, HTML as its text, of an alternative the plain part, a forwarded
// message with its own header, and for any other part one line saying that a
// file is attached. Line ends are LF. The stored file is never changed.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The message read for the screen: every header field decoded (UTF-8, in
// order) and the body's text.
struct SMailView {
    std::vector<std::pair<std::string, std::string>> fields;
    std::string body;
    // The first field of that name (case ignored), empty when there is none.
    std::string Field(std::string_view name) const;
};

// `attachmentLines`: a line in the body for each attached file (a viewer
// that lists the files itself goes without).
SMailView MailViewUtf8(std::string_view bytes, bool attachmentLines = true);

// The text of the message in `bytes`: the fields, an empty line, the body.
std::string MailTextUtf8(std::string_view bytes);

// The same for a file; false when it cannot be read. A mail beyond `limit`
// bytes is read up to it, with a last line saying so.
bool MailFileTextUtf8(const char* sjisPath, std::string& utf8, std::size_t limit);
bool MailFileViewUtf8(const char* sjisPath, SMailView& view, std::size_t limit, bool attachmentLines);

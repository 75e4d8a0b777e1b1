#include "imap/SImap4Command.h"

#include "common/SEscapeString.h"

namespace {

bool IsAsciiAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

SImap4Command& SImap4Command::Raw(const std::string& text) {
    (literals_.empty() ? text_ : afterEach_.back()).append(text);
    return *this;
}

SImap4Command& SImap4Command::Arg(const std::string& value) {
    Raw(" ");
    if (!NeedsLiteral(value)) return Raw(Quoted(value));
    Raw("{").Raw(std::to_string(value.size())).Raw("}");
    literals_.push_back(value);
    afterEach_.emplace_back();
    return *this;
}

std::vector<std::string> SImap4Command::Segments(const char* tag) const {
    std::vector<std::string> segments;
    std::string first(tag);
    first.append(" ").append(text_).append("\r\n");
    segments.push_back(std::move(first));
    for (std::size_t i = 0; i < literals_.size(); ++i) {
        std::string next(literals_[i]);
        next.append(afterEach_[i]).append("\r\n");
        segments.push_back(std::move(next));
    }
    return segments;
}

std::string SImap4Command::Quoted(const std::string& value) {
    bool bare = !value.empty();
    for (unsigned char c : value) bare = bare && IsAsciiAlnum(c);
    if (bare) return value;
    // Byte by byte, not by Shift_JIS characters: the server unescapes bytes, so
    // a 0x5C that is the second byte of a kanji must be escaped as well.
    std::string escaped;
    SEscapeString('\\').MakeEscape(value, escaped, "\\\"");
    std::string quoted("\"");
    quoted.append(escaped).append("\"");
    return quoted;
}

bool SImap4Command::NeedsLiteral(const std::string& value) {
    for (unsigned char c : value)
        if (c == '\r' || c == '\n' || c == '\0' || c >= 0x80) return true;
    return false;
}

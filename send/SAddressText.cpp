#include "send/SAddressText.h"

#include <cstring>
#include <string_view>

#include "common/JString.h"
#include "common/MbChar.h"
#include "common/SHeaderField.h"

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlankChar(s[b])) ++b;
    while (e > b && IsBlankChar(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Walks Shift_JIS text character by character, keeping track of quoted
// strings (with their backslash escapes), comments and angle brackets.
class SyntaxWalker {
public:
    explicit SyntaxWalker(const std::string& text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Pos() const { return pos_; }
    // The current character's length; the syntax state then covers it.
    std::size_t Step() {
        const char* p = text_.c_str() + pos_;
        const std::size_t len = MbCharLen(p);
        if (len == 1) Track(*p);
        pos_ += len ? len : 1;
        return len;
    }
    bool Outside() const { return !quoted_ && depth_ == 0 && !angle_; }
    bool InAngle() const { return angle_ && !quoted_ && depth_ == 0; }
    bool Plain() const { return !quoted_ && depth_ == 0; }

private:
    void Track(char c) {
        if (escaped_) {
            escaped_ = false;
            return;
        }
        if (quoted_) {
            if (c == '\\') escaped_ = true;
            else if (c == '"') quoted_ = false;
            return;
        }
        if (depth_ > 0) {
            if (c == '\\') escaped_ = true;
            else if (c == '(') ++depth_;
            else if (c == ')') --depth_;
            return;
        }
        if (c == '"') quoted_ = true;
        else if (c == '(') depth_ = 1;
        else if (c == '<') angle_ = true;
        else if (c == '>') angle_ = false;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    bool quoted_ = false;
    bool escaped_ = false;
    bool angle_ = false;
};

}  // namespace

std::string AddressPart(const std::string& mailbox) {
    // The first angle-bracketed part outside quotes and comments.
    SyntaxWalker walk(mailbox);
    std::size_t open = std::string::npos;
    while (!walk.AtEnd()) {
        const std::size_t at = walk.Pos();
        const bool plainBefore = walk.Plain();
        const std::size_t len = walk.Step();
        if (len != 1 || !plainBefore) continue;
        if (mailbox[at] == '<' && open == std::string::npos) open = at + 1;
        if (mailbox[at] == '>' && open != std::string::npos) return Trim(mailbox.substr(open, at - open));
    }
    if (open != std::string::npos) return Trim(mailbox.substr(open));
    // No brackets: the text without comments.
    std::string bare;
    SyntaxWalker strip(mailbox);
    while (!strip.AtEnd()) {
        const std::size_t at = strip.Pos();
        const bool plainBefore = strip.Plain();
        const std::size_t len = strip.Step();
        if (plainBefore && strip.Plain() && !(len == 1 && mailbox[at] == ')')) bare.append(mailbox, at, len ? len : 1);
    }
    return Trim(bare);
}

std::vector<std::string> SplitAddresses(const std::string& list) {
    std::vector<std::string> out;
    std::string piece;
    auto flush = [&] {
        std::string address = AddressPart(piece);
        if (!address.empty()) out.push_back(address);
        piece.clear();
    };
    SyntaxWalker walk(list);
    while (!walk.AtEnd()) {
        const std::size_t at = walk.Pos();
        const bool outsideBefore = walk.Outside();
        const std::size_t len = walk.Step();
        const char c = len == 1 ? list[at] : '\0';
        if (outsideBefore && (c == ',' || c == ';')) {
            flush();
            continue;
        }
        // "group:" starts the members of a group; its name is no address.
        if (outsideBefore && c == ':') {
            piece.clear();
            continue;
        }
        piece.append(list, at, len ? len : 1);
    }
    flush();
    return out;
}

std::string HeaderBlock(const std::string& message) {
    if (message.compare(0, 2, "\r\n") == 0) return "\r\n";
    if (message.compare(0, 1, "\n") == 0) return "\n";
    for (std::size_t p = message.find('\n'); p != std::string::npos; p = message.find('\n', p + 1)) {
        const std::size_t next = p + 1;
        if (message.compare(next, 2, "\r\n") == 0) return message.substr(0, next + 2);
        if (message.compare(next, 1, "\n") == 0) return message.substr(0, next + 1);
    }
    return message;
}

std::vector<std::string> FindHeaderFields(const std::string& header, const char* name) {
    std::vector<std::string> values;
    std::size_t line = 0;
    while (line < header.size()) {
        std::size_t end = header.find('\n', line);
        if (end == std::string::npos) end = header.size();
        const std::string_view text(header.data() + line, end - line);
        if (text.empty() || text == "\r") break;  // the empty line ends the header
        const char* body = HeaderFieldBody(text.data(), name);
        if (body && body <= text.data() + text.size()) {
            std::string value(body, static_cast<std::size_t>(text.data() + text.size() - body));
            std::size_t next = end + 1;
            // Continuation lines begin with a blank or a tab.
            while (next < header.size() && (header[next] == ' ' || header[next] == '\t')) {
                std::size_t e = header.find('\n', next);
                if (e == std::string::npos) e = header.size();
                if (!value.empty() && value.back() == '\r') value.pop_back();
                value.append(header, next, e - next);
                next = e + 1;
            }
            if (!value.empty() && value.back() == '\r') value.pop_back();
            std::size_t b = 0;
            while (b < value.size() && (value[b] == ' ' || value[b] == '\t')) ++b;
            values.push_back(value.substr(b));
            end = next - 1;
        }
        line = end + 1;
    }
    return values;
}

bool FindHeaderField(const std::string& header, const char* name, std::string& value) {
    for (const std::string& v : FindHeaderFields(header, name)) {
        value = v;
        return !value.empty();
    }
    value.clear();
    return false;
}

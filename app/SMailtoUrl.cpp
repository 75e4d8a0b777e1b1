#include "app/SMailtoUrl.h"

#include <cctype>

#include "common/JString.h"
#include "platform/CodePage.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsEscape(const std::string& text, std::size_t at) {
    return at + 2 < text.size() && text[at] == '%' && HexValue(text[at + 1]) >= 0 && HexValue(text[at + 2]) >= 0;
}

// Runs of %XX decoded as UTF-8 into Shift_JIS; everything else copied.
std::string Decode(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsEscape(text, i)) {
            out += text[i++];
            continue;
        }
        const std::size_t start = i;
        std::string bytes;
        while (IsEscape(text, i)) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 3;
        }
        std::string sjis;
        if (platform::Utf8ToCp932(bytes, sjis)) out += sjis;
        else out.append(text, start, i - start);
    }
    return out;
}

// Line ends of a body as the editor takes them.
std::string LfLines(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A header field is one line: a CR LF from a link must not start another
// field of the mail. Bytes below 0x20 are never part of a double-byte character.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

// A field given twice (or the addresses and a "to" field) adds to the list.
void AddAddresses(std::string& field, const std::string& more) {
    if (more.empty()) return;
    if (!field.empty()) field += ", ";
    field += more;
}

// A byte-wise compare that ignores ASCII case: field names are ASCII.
bool SameName(const std::string& a, const char* b) { return jstraicmp(a.c_str(), b) == 0; }

}  // namespace

SMailtoFields ParseMailtoUrl(const std::string& url) {
    SMailtoFields fields;
    const std::size_t question = url.find('?');
    fields.to = OneLine(Decode(url.substr(0, question)));
    if (question == std::string::npos) return fields;
    const std::string query = url.substr(question + 1);
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos) {
            const std::string name = Decode(pair.substr(0, equals));
            const std::string value = Decode(pair.substr(equals + 1));
            if (SameName(name, "to")) AddAddresses(fields.to, OneLine(value));
            else if (SameName(name, "cc")) AddAddresses(fields.cc, OneLine(value));
            else if (SameName(name, "bcc")) AddAddresses(fields.bcc, OneLine(value));
            else if (SameName(name, "subject")) fields.subject = OneLine(value);
            else if (SameName(name, "body")) fields.body = LfLines(value);
        }
        start = end + 1;
    }
    return fields;
}

std::string MailtoRequestLine(const std::string& url) {
    std::string line;
    for (char c : url) {
        if (c == '\r') line += "%0D";
        else if (c == '\n') line += "%0A";
        else line += c;
    }
    return line;
}

#include "send/SAttachmentPartHeader.h"

#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "common/SHeaderMime.h"
#include "common/SMimePart.h"
#include "platform/CodePage.h"

namespace qimsend {

namespace {

// A file on Linux may be named with a line break, which would otherwise start
// header lines of its own. Control bytes never occur inside a Shift_JIS character.
std::string HeaderSafe(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    }
    return safe;
}

bool IsAsciiName(const std::string& name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// RFC 5987 attr-char: what stands in a filename* value without a percent sign.
bool IsAttrChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    for (char allowed : std::string("!#$&+-.^_`|~"))
        if (c == static_cast<unsigned char>(allowed)) return true;
    return false;
}

std::string PercentEncoded(const std::string& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsAttrChar(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

// The UTF-8 characters of `utf8`, each percent-encoded as a whole.
std::vector<std::string> EncodedCharacters(const std::string& utf8) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t n = 1;
        while (i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) ++n;
        pieces.push_back(PercentEncoded(utf8.substr(i, n)));
        i += n;
    }
    return pieces;
}

// A quoted string: the quote and the backslash escaped.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// The value for "name" and "filename": an ASCII name quoted, any other in one
// encoded word inside the quotes. Only a name far longer than a file name can be
// is split into several words, one a line, so that no line grows without bound.
std::string QuotedName(const std::string& sjisName) {
    // An ASCII name that holds "=?" would be taken for encoded words: it is
    // encoded too, so that decoding gives it back.
    if (IsAsciiName(sjisName) && sjisName.find("=?") == std::string::npos) return Quoted(sjisName);
    std::string wide;
    SHanZenKana().Han2Zen(sjisName, wide);
    constexpr int kMaxWordSource = 480;  // Shift_JIS bytes: a word of about 700 characters
    std::string words;
    const char* rest = wide.c_str();
    while (*rest) {
        int n = SHeaderMime::MaxSubStrLen(rest, kMaxWordSource);
        if (n < 1) n = 1;
        std::string word;
        SHeaderMime::EncodeB(std::string(rest, static_cast<std::size_t>(n)), word);
        if (!words.empty()) words += "\n ";
        words += word;
        rest += n;
    }
    std::string quoted = "\"";
    quoted.append(words).append("\"");
    return quoted;
}

}  // namespace

std::string Rfc2231FileName(const std::string& utf8Name) {
    const std::string prefix = "UTF-8''";
    const std::vector<std::string> pieces = EncodedCharacters(utf8Name);
    std::string whole;
    for (const std::string& p : pieces) whole += p;
    std::string single = " filename*=";
    single.append(prefix).append(whole);
    if (single.size() <= kAttachmentHeaderMaxLine - 1) return single;  // room for the ';'
    std::string out;
    std::string line;
    int section = 0;
    auto start = [&] {
        line = " filename*";
        line.append(std::to_string(section)).append("*=");
        if (section == 0) line.append(prefix);
    };
    start();
    std::size_t bare = line.size();
    for (const std::string& p : pieces) {
        if (line.size() + p.size() > kAttachmentHeaderMaxLine - 1 && line.size() > bare) {
            out.append(line).append(";\n");
            ++section;
            start();
            bare = line.size();
        }
        line += p;
    }
    out += line;
    return out;
}

std::string AttachmentPartHeader(const std::string& sjisName) {
    const std::string name = HeaderSafe(sjisName);
    const std::string quoted = QuotedName(name);
    std::string text = "Content-Type: application/octet-stream;\n name=";
    text.append(quoted).append("\n");
    text.append("Content-Transfer-Encoding: base64\n");
    text.append("Content-Disposition: attachment;\n");
    // filename* first: a reader that knows both forms takes the one it meets
    // first, and this one holds the name exactly.
    std::string utf8;
    if (platform::Cp932ToUtf8(name, utf8)) text.append(Rfc2231FileName(utf8)).append(";\n");
    text.append(" filename=").append(quoted).append("\n");
    std::string description;
    const std::string field = std::string(SMimePart::MimeDescription()) + name;
    if (!SHeaderMime::EncodeALine(field.c_str(), description)) description = field;
    for (char c : description)
        if (c != '\r') text += c;
    text += '\n';
    return text;
}

}  // namespace qimsend

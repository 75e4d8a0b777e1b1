#include "common/ModifiedUTF7.h"

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"
#include "platform/CodePage.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+,";

int AlphabetValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == ',') return 63;
    return -1;
}

enum class CharClass { Ascii, DoubleByte, Other };

// The class of the character at `i` and its length.
CharClass ClassAt(const std::string& s, std::size_t i, std::size_t* length) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    *length = 1;
    if (IsUSAscii(c)) return CharClass::Ascii;
    if (IsKanji1(c) && i + 1 < s.size()) {
        *length = 2;
        return CharClass::DoubleByte;
    }
    return CharClass::Other;
}

void AppendRun(const std::string& bytes, std::string& out) {
    out += '&';
    ModifiedUTF7::EncodeModifiedBase64(bytes, out);
    out += '-';
}

bool AppendUnicodeRun(const std::string& sjis, std::string& out) {
    std::u16string units;
    if (!ModifiedUTF7::SjisToUnicode(sjis, units)) return false;
    std::string bytes;
    ModifiedUTF7::ChangeByteOrder(units, bytes);
    AppendRun(bytes, out);
    return true;
}

// A stretch without printable ASCII that does not convert as a whole: its
// double-byte characters must convert; the other bytes go as Unicode when
// they have a form, else raw.
bool AppendMixedRun(const std::string& run, std::string& out) {
    std::size_t i = 0;
    while (i < run.size()) {
        std::size_t length;
        const CharClass kind = ClassAt(run, i, &length);
        std::size_t end = i;
        while (end < run.size() && ClassAt(run, end, &length) == kind) end += length;
        const std::string part = run.substr(i, end - i);
        if (!AppendUnicodeRun(part, out)) {
            if (kind == CharClass::DoubleByte) return false;
            AppendRun(part, out);
        }
        i = end;
    }
    return true;
}

}  // namespace

bool ModifiedUTF7::SjisToUnicode(const std::string& sjis, std::u16string& out) {
    return static_cast<bool>(platform::Cp932ToUtf16(sjis, out));
}

bool ModifiedUTF7::UnicodeToSjis(const std::u16string& units, std::string& out) {
    return static_cast<bool>(platform::Utf16ToCp932(units, out));
}

void ModifiedUTF7::ChangeByteOrder(const std::u16string& units, std::string& bigEndian) {
    bigEndian.resize(units.size() * 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        bigEndian[2 * i] = static_cast<char>(units[i] >> 8);
        bigEndian[2 * i + 1] = static_cast<char>(units[i] & 0xFF);
    }
}

bool ModifiedUTF7::ChangeByteOrder(const std::string& bigEndian, std::u16string& units) {
    if (bigEndian.size() % 2) return false;
    units.resize(bigEndian.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>((static_cast<unsigned char>(bigEndian[2 * i]) << 8) |
                                         static_cast<unsigned char>(bigEndian[2 * i + 1]));
    }
    return true;
}

void ModifiedUTF7::AndToAndMinus(const std::string& in, std::string& out) {
    for (char c : in) {
        out += c;
        if (c == '&') out += '-';
    }
}

void ModifiedUTF7::EncodeModifiedBase64(const std::string& bytes, std::string& out) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = (b[i] << 16) | (b[i + 1] << 8) | b[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (bytes.size() - i == 1) {
        out += kAlphabet[b[i] >> 2];
        out += kAlphabet[(b[i] & 3) << 4];
    } else if (bytes.size() - i == 2) {
        const unsigned v = (b[i] << 8) | b[i + 1];
        out += kAlphabet[v >> 10];
        out += kAlphabet[(v >> 4) & 63];
        out += kAlphabet[(v & 15) << 2];
    }
}

bool ModifiedUTF7::DecodeModifiedBase64(const std::string& text, std::string& bytes) {
    bytes.clear();
    if (text.size() % 4 == 1) return false;  // no byte count encodes to that
    bytes.reserve(text.size() * 3 / 4);
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const int v = AlphabetValue(c);
        if (v < 0) return false;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return true;
}

bool ModifiedUTF7::Encode(const std::string& sjis, std::string& out) {
    std::string wide;
    if (!SHanZenKana().Han2Zen(sjis, wide)) return false;
    return EncodeNative(wide, out);
}

bool ModifiedUTF7::EncodeNative(const std::string& sjis, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < sjis.size()) {
        std::size_t length;
        const bool ascii = ClassAt(sjis, i, &length) == CharClass::Ascii;
        std::size_t end = i;
        while (end < sjis.size() && (ClassAt(sjis, end, &length) == CharClass::Ascii) == ascii) end += length;
        const std::string run = sjis.substr(i, end - i);
        if (ascii) {
            AndToAndMinus(run, out);
        } else if (!AppendUnicodeRun(run, out) && !AppendMixedRun(run, out)) {
            return false;
        }
        i = end;
    }
    return true;
}

bool ModifiedUTF7::Decode(const std::string& in, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t amp = in.find('&', i);
        out.append(in, i, amp == std::string::npos ? std::string::npos : amp - i);
        if (amp == std::string::npos) break;
        if (amp + 1 < in.size() && in[amp + 1] == '-') {
            out += '&';
            i = amp + 2;
            continue;
        }
        const std::size_t dash = in.find('-', amp + 1);
        std::string bytes, text;
        std::u16string units;
        bool ok = dash != std::string::npos && DecodeModifiedBase64(in.substr(amp + 1, dash - amp - 1), bytes);
        if (ok) {
            if (!ChangeByteOrder(bytes, units) || !UnicodeToSjis(units, text)) text = bytes;
            ok = text.find('\0') == std::string::npos;
        }
        if (!ok) {
            out.append(in, amp, std::string::npos);
            return false;
        }
        out += text;
        i = dash + 1;
    }
    return true;
}

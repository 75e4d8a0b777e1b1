#include "platform/CodePage.h"

#include <cctype>
#include <cerrno>
#include <iconv.h>

#include <map>
#include <memory>

namespace platform {
namespace {

// One iconv descriptor per direction and thread; iconv_open is costly compared
// with converting a short header line.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in` completely into `out` (bytes). Returns the failing offset on error.
    ConvResult Run(const char* in, std::size_t inBytes, std::string& out) {
        out.clear();
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return {false, 0};
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        std::size_t left = inBytes;
        out.resize(inBytes * 2 + 16);
        std::size_t used = 0;
        while (left > 0) {
            char* dst = out.data() + used;
            std::size_t room = out.size() - used;
            std::size_t rc = iconv(cd_, &src, &left, &dst, &room);
            used = out.size() - room;
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            out.clear();
            return {false, static_cast<std::size_t>(src - in)};
        }
        // Flush any pending shift state (none for these charsets, but cheap).
        char* dst = out.data() + used;
        std::size_t room = out.size() - used;
        if (iconv(cd_, nullptr, nullptr, &dst, &room) == static_cast<std::size_t>(-1)) {
            out.clear();
            return {false, inBytes};
        }
        used = out.size() - room;
        out.resize(used);
        return {};
    }

private:
    iconv_t cd_;
};

Converter& Cp932ToUtf8Conv() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}
Converter& Utf8ToCp932Conv() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}
Converter& Cp932ToUtf16Conv() {
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}
Converter& Utf16ToCp932Conv() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

// The name iconv knows for a MIME charset name. Mail labels text with the
// older, narrower names of what Windows really sends: those take the wider
// sets, as every reader does.
std::string IconvName(std::string_view charset) {
    std::string name;
    for (char c : charset) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const std::pair<const char*, const char*> kWider[] = {
        {"shift_jis", "CP932"},     {"shift-jis", "CP932"}, {"sjis", "CP932"},   {"x-sjis", "CP932"},
        {"windows-31j", "CP932"},   {"cp932", "CP932"},     {"ms_kanji", "CP932"}, {"euc-jp", "EUC-JP-MS"},
        {"x-euc-jp", "EUC-JP-MS"},  {"gb2312", "GBK"},      {"x-gbk", "GBK"},    {"euc-cn", "GBK"},
        {"euc-kr", "CP949"},        {"ks_c_5601-1987", "CP949"}, {"iso-8859-1", "CP1252"},
        {"us-ascii", "CP1252"},     {"latin1", "CP1252"},   {"big5", "BIG5-HKSCS"},
    };
    for (const auto& [label, wider] : kWider)
        if (name == label) return wider;
    return name;
}

Converter& ToUtf8From(const std::string& iconvName) {
    thread_local std::map<std::string, std::unique_ptr<Converter>> converters;
    std::unique_ptr<Converter>& c = converters[iconvName];
    if (!c) c = std::make_unique<Converter>("UTF-8", iconvName.c_str());
    return *c;
}

// Length of the UTF-8 sequence at `s` (1 for a broken byte).
std::size_t Utf8SequenceLength(std::string_view s) {
    const unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (n > s.size()) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

// Converts what converts; each unit that does not becomes `replacement`.
template <class Convert, class Unit>
std::string ConvertLossy(std::string_view in, Convert convert, std::string_view replacement, Unit unit) {
    std::string out;
    std::string piece;
    while (!in.empty()) {
        const ConvResult r = convert(in, piece);
        if (r) {
            out += piece;
            break;
        }
        if (r.offset > 0) {
            convert(in.substr(0, r.offset), piece);
            out += piece;
        }
        out += replacement;
        in.remove_prefix(r.offset + unit(in.substr(r.offset)));
    }
    return out;
}

}  // namespace

ConvResult Cp932ToUtf8(std::string_view cp932, std::string& utf8) {
    return Cp932ToUtf8Conv().Run(cp932.data(), cp932.size(), utf8);
}

ConvResult Utf8ToCp932(std::string_view utf8, std::string& cp932) {
    return Utf8ToCp932Conv().Run(utf8.data(), utf8.size(), cp932);
}

ConvResult Cp932ToUtf16(std::string_view cp932, std::u16string& utf16) {
    std::string bytes;
    ConvResult r = Cp932ToUtf16Conv().Run(cp932.data(), cp932.size(), bytes);
    utf16.clear();
    if (!r) return r;
    utf16.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        utf16[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return r;
}

ConvResult Utf16ToCp932(std::u16string_view utf16, std::string& cp932) {
    std::string bytes(utf16.size() * 2, '\0');
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    ConvResult r = Utf16ToCp932Conv().Run(bytes.data(), bytes.size(), cp932);
    if (!r) r.offset /= 2;  // report the offset in UTF-16 units
    return r;
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
    // A bad unit is a lead byte with its trail, or a single byte.
    const auto unit = [](std::string_view rest) -> std::size_t {
        const unsigned char c = static_cast<unsigned char>(rest[0]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || rest.size() < 2) return 1;
        const unsigned char t = static_cast<unsigned char>(rest[1]);
        return t >= 0x40 && t <= 0xFC && t != 0x7F ? 2 : 1;
    };
    return ConvertLossy(cp932, Cp932ToUtf8, "\xEF\xBF\xBD", unit);
}

std::string Utf8ToCp932Lossy(std::string_view utf8, std::string_view missing) {
    return ConvertLossy(utf8, Utf8ToCp932, missing, Utf8SequenceLength);
}

ConvResult CharsetToUtf8(std::string_view charset, std::string_view bytes, std::string& utf8) {
    const std::string name = IconvName(charset);
    if (name.empty() || name.size() > 40) return {false, 0};
    if (name == "utf-8" || name == "utf8") {
        if (!IsValidUtf8(bytes)) return {false, 0};
        utf8.assign(bytes);
        return {};
    }
    return ToUtf8From(name).Run(bytes.data(), bytes.size(), utf8);
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = Utf8SequenceLength(bytes.substr(i));
        if (n == 1) return false;
        unsigned cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
        for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        const unsigned least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

}  // namespace platform

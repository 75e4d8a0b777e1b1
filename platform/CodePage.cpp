#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

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
    std::string out;
    std::string piece;
    while (!cp932.empty()) {
        ConvResult r = Cp932ToUtf8(cp932, piece);
        if (r) {
            out += piece;
            break;
        }
        if (r.offset > 0) {
            Cp932ToUtf8(cp932.substr(0, r.offset), piece);
            out += piece;
        }
        out += "\xEF\xBF\xBD";
        // Skip the bad unit: a lead byte with its trail, or a single byte.
        std::size_t skip = 1;
        unsigned char c = static_cast<unsigned char>(cp932[r.offset]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead && r.offset + 1 < cp932.size()) {
            unsigned char t = static_cast<unsigned char>(cp932[r.offset + 1]);
            if (t >= 0x40 && t <= 0xFC && t != 0x7F) skip = 2;
        }
        cp932.remove_prefix(r.offset + skip);
    }
    return out;
}

}  // namespace platform

#include "outside/unlha32/LhaNames.h"

#include <iconv.h>

#include <cerrno>

namespace lha {

namespace {

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
    out.clear();
    bool ascii = true;
    for (unsigned char c : in) ascii = ascii && c < 0x80;
    if (ascii) {
        out = in;
        return true;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || srcLeft != 0) return false;
    buffer.resize(buffer.size() - dstLeft);
    out.swap(buffer);
    return true;
}

// The length of the character at p (1 or 2 bytes).
std::size_t CharLength(const char* p) { return IsLead(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1; }

}  // namespace

bool SjisToNative(const std::string& sjis, std::string& native) { return Convert("UTF-8", "CP932", sjis, native); }

bool NativeToSjis(const std::string& native, std::string& sjis) { return Convert("CP932", "UTF-8", native, sjis); }

std::string ForwardSlashes(const std::string& sjis) {
    std::string out;
    out.reserve(sjis.size());
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(sjis[i]);
        if (IsLead(c) && i + 1 < sjis.size()) {
            out.push_back(sjis[i]);
            out.push_back(sjis[++i]);
        } else {
            out.push_back(c == '\\' ? '/' : sjis[i]);
        }
    }
    return out;
}

bool WildMatch(const char* pattern, const char* name) {
    // Iterative, with one back-tracking point for the last '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = ++pattern;
            resume = name;
            continue;
        }
        const std::size_t n = CharLength(name);
        if (*pattern == '?') {
            ++pattern;
            name += n;
            continue;
        }
        const std::size_t p = CharLength(pattern);
        if (*pattern && p == n && pattern[0] == name[0] && (n == 1 || pattern[1] == name[1])) {
            pattern += p;
            name += n;
            continue;
        }
        if (!star) return false;
        pattern = star;
        resume += CharLength(resume);
        name = resume;
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

}  // namespace lha

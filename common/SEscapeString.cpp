#include "common/SEscapeString.h"

#include <cstring>

#include "common/MbChar.h"

namespace {

std::size_t CharLen(const char* p, const char* end, bool multiByte) { return multiByte ? MbCharLen(p, end) : 1; }

void EscapeText(const std::string& in, std::string& out, const char* specials, char escape, bool multiByte) {
    out.clear();
    out.reserve(in.size() + in.size() / 8);
    const char* p = in.data();
    const char* end = p + in.size();
    while (p < end) {
        std::size_t len = CharLen(p, end, multiByte);
        if (len == 1 && *p && specials && std::strchr(specials, *p)) out += escape;
        out.append(p, len);
        p += len;
    }
}

void UnescapeText(const std::string& in, std::string& out, char escape, bool multiByte) {
    out.clear();
    out.reserve(in.size());
    const char* p = in.data();
    const char* end = p + in.size();
    while (p < end) {
        if (*p == escape) {
            if (++p == end) break;
        }
        std::size_t len = CharLen(p, end, multiByte);
        out.append(p, len);
        p += len;
    }
}

}  // namespace

const char* StrChrEscape(const char* text, char c, char escape, bool multiByte) {
    if (!text || !c) return nullptr;
    const char* p = text;
    while (*p) {
        std::size_t len = multiByte ? MbCharLen(p) : 1;
        if (len == 1 && *p == c) return p;
        if (len == 1 && *p == escape) {
            ++p;
            if (!*p) break;
            len = multiByte ? MbCharLen(p) : 1;  // the escaped character
        }
        p += len;
    }
    return nullptr;
}

void SEscapeString::MakeEscape(const std::string& in, std::string& out, const char* specials) const {
    EscapeText(in, out, specials, escape_, false);
}

const char* SEscapeString::StrChr(const char* text, char c) const { return StrChrEscape(text, c, escape_, false); }

void SEscapeString::Strip(const std::string& in, std::string& out) const { UnescapeText(in, out, escape_, false); }

int SEscapeString::Find(const std::string& s, char c, unsigned from) const {
    const char* text = s.c_str();
    const char* p = StrChr(text, c);
    // Each hit is an unescaped `c`, so the scan can go on right after it.
    while (p && static_cast<unsigned>(p - text) < from) p = StrChr(p + 1, c);
    return p ? static_cast<int>(p - text) : -1;
}

void SJEscapeString::MakeEscape(const std::string& in, std::string& out, const char* specials) const {
    EscapeText(in, out, specials, Escape(), true);
}

const char* SJEscapeString::StrChr(const char* text, char c) const { return StrChrEscape(text, c, Escape(), true); }

void SJEscapeString::Strip(const std::string& in, std::string& out) const { UnescapeText(in, out, Escape(), true); }

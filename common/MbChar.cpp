#include "common/MbChar.h"

#include <cstring>

const char* jstrchr(const char* text, char c) {
    if (!c) return nullptr;
    for (const char* p = text; *p; p += MbCharLen(p)) {
        if (*p == c && MbCharLen(p) == 1) return p;
    }
    return nullptr;
}

const char* jstrrchr(const char* text, char c) {
    const char* found = nullptr;
    if (!c) return nullptr;
    for (const char* p = text; *p; p += MbCharLen(p)) {
        if (*p == c && MbCharLen(p) == 1) found = p;
    }
    return found;
}

const char* jstrstr(const char* text, const char* pattern) {
    const std::size_t n = std::strlen(pattern);
    if (n == 0) return text;
    for (const char* p = text; *p; p += MbCharLen(p)) {
        if (std::strncmp(p, pattern, n) != 0) continue;
        // The match must also end on a character boundary of the text.
        const char* q = p;
        while (static_cast<std::size_t>(q - p) < n) q += MbCharLen(q);
        if (static_cast<std::size_t>(q - p) == n) return p;
    }
    return nullptr;
}

bool MbCharInSet(const char* p, std::size_t len, const char* set) {
    for (const char* s = set; *s; s += MbCharLen(s)) {
        if (MbCharLen(s) == len && std::memcmp(s, p, len) == 0) return true;
    }
    return false;
}

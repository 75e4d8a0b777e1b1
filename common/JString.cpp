#include "common/JString.h"

#include "common/JapaneseCodes.h"

namespace {

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 0x20) : c; }
unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c; }

// The code of the character at `p` (folded to lower case when single-byte) and
// its length, without reading past `limit` bytes.
unsigned CharCode(const unsigned char* p, int limit, int* length) {
    if (IsKanji1(p[0]) && p[1] && limit >= 2) {
        *length = 2;
        return (p[0] << 8) | p[1];
    }
    *length = 1;
    return Lower(p[0]);
}

int Compare(const unsigned char* a, const unsigned char* b, int n) {
    while (n > 0) {
        int la, lb;
        unsigned ca = *a ? CharCode(a, n, &la) : (la = 1, 0u);
        unsigned cb = *b ? CharCode(b, n, &lb) : (lb = 1, 0u);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
        a += la;
        b += lb;
        n -= la;
    }
    return 0;
}

// The pattern matches at `t`: first bytes of double-byte characters (and the
// byte after them) compare exactly, other bytes after folding when asked.
bool MatchAt(const unsigned char* t, const unsigned char* p, bool fold, const unsigned char** matchEnd) {
    while (*p) {
        if (IsKanji1(*p) && p[1]) {
            if (t[0] != p[0] || t[1] != p[1]) return false;
            t += 2;
            p += 2;
        } else {
            if (!*t) return false;
            if (fold ? Upper(*t) != Upper(*p) : *t != *p) return false;
            ++t;
            ++p;
        }
    }
    *matchEnd = t;
    return true;
}

// Advances over one character of the text; false at its end.
bool NextChar(const unsigned char*& t) {
    if (IsKanji1(t[0])) {
        if (!t[1]) return false;
        t += 2;
    } else {
        ++t;
    }
    return true;
}

bool EndsWithDoubleByte(const unsigned char* word) {
    bool last = false;
    while (*word) {
        last = IsKanji1(*word) && word[1];
        word += last ? 2 : 1;
    }
    return last;
}

}  // namespace

int jstraicmp(const char* a, const char* b) {
    return Compare(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b), 0x7FFFFFFF);
}

int jstrnaicmp(const char* a, const char* b, int n) {
    return Compare(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b), n);
}

const char* stristr(const char* text, const char* pattern) {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern);
    const unsigned char* end;
    if (!*p) return text;
    // The first character decides cheaply where a match may begin.
    const bool firstDouble = IsKanji1(p[0]) && p[1];
    const unsigned char first = firstDouble ? p[0] : Upper(p[0]);
    do {
        const bool may = firstDouble ? *t == first : Upper(*t) == first;
        if (may && MatchAt(t, p, true, &end)) return reinterpret_cast<const char*>(t);
    } while (*t && NextChar(t));
    return nullptr;
}

char* stristr(char* text, const char* pattern) {
    return const_cast<char*>(stristr(static_cast<const char*>(text), pattern));
}

const char* StrStrAsWord(const char* text, const char* word, bool ignoreCase) {
    const unsigned char* start = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* w = reinterpret_cast<const unsigned char*>(word);
    if (!*w) return text;
    const bool wordEndsDouble = EndsWithDoubleByte(w);
    const unsigned char* wordLast = w;
    while (wordLast[1]) ++wordLast;

    const unsigned char* t = start;
    const unsigned char* prev = nullptr;  // start of the character before t
    const unsigned char* end;
    do {
        if (MatchAt(t, w, ignoreCase, &end)) {
            bool endOk = wordEndsDouble || !IsPartOfWord(*wordLast) || !IsPartOfWord(*end);
            bool startOk = !IsPartOfWord(*w) || t == start || (prev && IsKanji1(*prev) && prev + 2 == t) ||
                           !IsPartOfWord(t[-1]);
            if (endOk && startOk) return reinterpret_cast<const char*>(t);
        }
        prev = t;
    } while (*t && NextChar(t));
    return nullptr;
}

const char* LastChar(const char* s) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    const unsigned char* last = nullptr;
    while (*u) {
        last = u;
        u += (IsKanji1(*u) && u[1]) ? 2 : 1;
    }
    return reinterpret_cast<const char*>(last);
}

bool IsNeedMergeYen(const char* path) {
    const char* last = LastChar(path);
    return last && *last != '/';
}

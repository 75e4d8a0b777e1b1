#include "common/SFindCondition.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/JapaneseCodes.h"
#include "common/SHeaderMime.h"

namespace {

unsigned char OtherCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    return c;
}

// Length of the character at `pos`: a first byte takes the byte after it when
// there is one.
inline int CharLength(const unsigned char* t, int length, int pos) {
    return (IsKanji1(t[pos]) && pos + 1 < length) ? 2 : 1;
}

// Whether `pos` begins a character, walking forward from where the last call
// stopped (positions asked must not decrease).
inline bool IsCharStart(const unsigned char* t, int length, int pos, SFindPattern::Walk& walk) {
    while (walk.next < pos) {
        walk.prev = walk.next;
        walk.next += CharLength(t, length, walk.next);
    }
    return walk.next == pos;
}

// Whether each of `m` bytes at `t` is one of the two accepted values.
inline bool BytesFit(const char* t, const char* a, const char* b, int m) {
    for (int i = 0; i < m; ++i) {
        if (t[i] != a[i] && t[i] != b[i]) return false;
    }
    return true;
}

// The longest prefix of at most `limit` bytes that ends on a character boundary.
int WholeCharsPrefix(const char* s, int limit) { return SHeaderMime::MaxSubStrLen(s, limit); }

// The whole-word tests at a match found by Search (so `walk` stands at `pos`):
// a pattern that begins with a letter must not follow a letter of a single-byte
// character, one that ends with a letter must not be followed by one.
bool IsWholeWordAt(const SFindPattern& p, const unsigned char* t, int length, int pos,
                   const SFindPattern::Walk& walk) {
    if (p.StartsWithWordChar() && pos > 0) {
        bool afterDoubleByte = walk.prev >= 0 && pos - walk.prev == 2;
        if (!afterDoubleByte && IsPartOfWord(t[pos - 1])) return false;
    }
    int end = pos + p.Length();
    return !p.EndsWithWordChar() || end >= length || !IsPartOfWord(t[end]);
}

int FindPrepared(const SFindPattern& p, const SFindOption& option, const char* text, int length, int from) {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    if (p.Length() == 0) return -1;
    SFindPattern::Walk walk;
    if (option.AtLineStart) {
        // The first match is at the start exactly when there is one there.
        if (from > 0 || !p.MatchesAt(text, length, 0)) return -1;
        return (!option.WholeWord || IsWholeWordAt(p, t, length, 0, walk)) ? 0 : -1;
    }
    int pos = from;
    while (true) {
        int found = p.Search(text, length, pos, walk);
        if (found < 0 || !option.WholeWord || IsWholeWordAt(p, t, length, found, walk)) return found;
        pos = found + CharLength(t, length, found);
    }
}

}  // namespace

// ---- SFindPattern ----

void SFindPattern::Set(const char* pattern, int length, bool matchCase) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(pattern);
    exact_.assign(pattern, static_cast<std::size_t>(length));
    other_ = exact_;
    bool lastDouble = false;
    for (int i = 0; i < length;) {
        if (IsKanji1(u[i]) && i + 1 < length) {
            lastDouble = true;
            i += 2;
            continue;
        }
        if (!matchCase) other_[i] = static_cast<char>(OtherCase(u[i]));
        lastDouble = false;
        ++i;
    }
    startsWithWordChar_ = length > 0 && IsPartOfWord(u[0]);
    endsWithWordChar_ = length > 0 && !lastDouble && IsPartOfWord(u[length - 1]);
    for (int& s : shift_) s = length;
    for (int i = 0; i + 1 < length; ++i) {
        shift_[static_cast<unsigned char>(exact_[i])] = length - 1 - i;
        shift_[static_cast<unsigned char>(other_[i])] = length - 1 - i;
    }
}

bool SFindPattern::MatchesAt(const char* text, int length, int pos) const {
    const int m = Length();
    if (pos < 0 || length - pos < m) return false;
    return BytesFit(text + pos, exact_.data(), other_.data(), m);
}

int SFindPattern::Search(const char* text, int length, int from) const {
    Walk walk;
    return Search(text, length, from, walk);
}

int SFindPattern::Search(const char* text, int length, int from, Walk& walk) const {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    while (true) {
        const int found = SearchBytes(text, length, from);
        if (found < 0 || IsCharStart(t, length, found, walk)) return found;
        from = found + 1;
    }
}

int SFindPattern::SearchBytes(const char* text, int length, int from) const {
    const int m = Length();
    if (m == 0 || from < 0 || length - from < m) return -1;
#if defined(__SSE2__)
    // Sixteen places at a time: those whose first and last bytes both fit are
    // compared whole. Body text is long and matches are rare, so this goes
    // faster than the shifts of the scalar search.
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    const __m128i firstA = _mm_set1_epi8(exact_[0]);
    const __m128i firstB = _mm_set1_epi8(other_[0]);
    const __m128i lastA = _mm_set1_epi8(exact_[m - 1]);
    const __m128i lastB = _mm_set1_epi8(other_[m - 1]);
    int pos = from;
    for (; pos + m - 1 + 16 <= length; pos += 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + pos));
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + pos + m - 1));
        const __m128i firstFits = _mm_or_si128(_mm_cmpeq_epi8(first, firstA), _mm_cmpeq_epi8(first, firstB));
        const __m128i lastFits = _mm_or_si128(_mm_cmpeq_epi8(last, lastA), _mm_cmpeq_epi8(last, lastB));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(firstFits, lastFits))); mask;
             mask &= mask - 1) {
            const int at = pos + __builtin_ctz(mask);
            if (BytesFit(text + at, exact_.data(), other_.data(), m)) return at;
        }
    }
    from = pos;
#endif
    return SearchScalar(text, length, from);
}

int SFindPattern::SearchScalar(const char* text, int length, int from) const {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* a = reinterpret_cast<const unsigned char*>(exact_.data());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other_.data());
    const int m = Length();
    if (m == 0 || from < 0 || length - from < m) return -1;
    if (m == 1) {
        if (a[0] == b[0]) {
            const void* hit = std::memchr(t + from, a[0], static_cast<std::size_t>(length - from));
            return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - t) : -1;
        }
        for (int pos = from; pos < length; ++pos) {
            if (t[pos] == a[0] || t[pos] == b[0]) return pos;
        }
        return -1;
    }
    // Boyer-Moore-Horspool.
    const unsigned char lastA = a[m - 1];
    const unsigned char lastB = b[m - 1];
    for (int end = from + m - 1; end < length; end += shift_[t[end]]) {
        unsigned char c = t[end];
        if (c != lastA && c != lastB) continue;
        int i = m - 2;
        const unsigned char* q = t + end - 1;
        while (i >= 0 && (*q == a[i] || *q == b[i])) {
            --i;
            --q;
        }
        if (i < 0) return end - m + 1;
    }
    return -1;
}

// ---- SFindOption ----

int SFindOption::Find(const char* text, const char* pattern, const SFindOption& option) {
    SFindPattern p;
    p.Set(pattern, static_cast<int>(std::strlen(pattern)), option.MatchCase);
    return FindPrepared(p, option, text, static_cast<int>(std::strlen(text)), 0);
}

int SFindOption::GetAsInt() const {
    return (MatchCase ? kFindOptionMatchCase : 0) | (WholeWord ? kFindOptionWholeWord : 0) |
           (AtLineStart ? kFindOptionAtLineStart : 0);
}

void SFindOption::SetByInt(int value) {
    MatchCase = (value & kFindOptionMatchCase) != 0;
    WholeWord = (value & kFindOptionWholeWord) != 0;
    AtLineStart = (value & kFindOptionAtLineStart) != 0;
}

int FindPosition(const char* text, const char* pattern) {
    SFindPattern p;
    p.Set(pattern, static_cast<int>(std::strlen(pattern)), true);
    return p.Search(text, static_cast<int>(std::strlen(text)), 0);
}

// ---- SFindCondition ----

SFindCondition::SFindCondition() {
    fieldName_[0] = '\0';
    fieldNameColon_[0] = ':';
    fieldNameColon_[1] = '\0';
    pattern_[0] = '\0';
    Prepare();
}

bool SFindCondition::SetPattern(const char* pattern) {
    if (!pattern) pattern = "";
    patternLength_ = WholeCharsPrefix(pattern, kFindPatternMax);
    std::memcpy(pattern_, pattern, static_cast<std::size_t>(patternLength_));
    pattern_[patternLength_] = '\0';
    Prepare();
    return pattern[patternLength_] == '\0';
}

bool SFindCondition::SetFieldName(const char* name) {
    if (!name) name = "";
    int length = WholeCharsPrefix(name, kFindFieldNameMax);
    const bool whole = name[length] == '\0' || (name[length] == ':' && name[length + 1] == '\0');
    if (length > 0 && name[length - 1] == ':') --length;
    std::memcpy(fieldName_, name, static_cast<std::size_t>(length));
    fieldName_[length] = '\0';
    fieldNameLength_ = length;
    std::memcpy(fieldNameColon_, name, static_cast<std::size_t>(length));
    fieldNameColon_[length] = ':';
    fieldNameColon_[length + 1] = '\0';
    return whole;
}

void SFindCondition::SetOption(const SFindOption& option) {
    const bool caseChanged = option.MatchCase != option_.MatchCase;
    option_ = option;
    if (caseChanged) Prepare();
}

void SFindCondition::Prepare() { prepared_.Set(pattern_, patternLength_, option_.MatchCase); }

int SFindCondition::Find(const char* text) const {
    return FindPrepared(prepared_, option_, text, static_cast<int>(std::strlen(text)), 0);
}

int SFindCondition::Find(const char* text, int length, int from) const {
    return FindPrepared(prepared_, option_, text, length, from);
}

bool SFindCondition::operator==(const SFindCondition& other) const {
    return std::strcmp(pattern_, other.pattern_) == 0 && std::strcmp(fieldName_, other.fieldName_) == 0 &&
           option_ == other.option_;
}

void SFindCondition::CopyToMe(const SFindCondition& other) {
    if (this != &other) *this = other;
}

// ---- SFindMailCondition ----

bool SFindMailCondition::operator==(const SFindMailCondition& other) const {
    return SFindCondition::operator==(other) && where_ == other.where_;
}

void SFindMailCondition::CopyToMe(const SFindMailCondition& other) {
    if (this != &other) *this = other;
}

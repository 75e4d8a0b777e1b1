#include "common/JapaneseCodes.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char ESC = 0x1B;

// The blocks of 16 bytes are read as two words whose lowest byte comes first.
static_assert(std::endian::native == std::endian::little);

bool IsKanjiIn(const unsigned char* p) { return p[0] == ESC && p[1] == '$' && (p[2] == 'B' || p[2] == '@'); }
bool IsKanjiOut(const unsigned char* p) { return p[0] == ESC && p[1] == '(' && (p[2] == 'B' || p[2] == 'J'); }
bool IsKatakanaIn(const unsigned char* p) { return p[0] == ESC && p[1] == '(' && p[2] == 'I'; }
bool IsDesignationAt(const unsigned char* p, const unsigned char* end) {
    return end - p >= 3 && (IsKanjiIn(p) || IsKanjiOut(p) || IsKatakanaIn(p));
}
bool IsJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

// First bytes of the JIS X 0208 rows; 0xF0-0xFC (user-defined) are left alone.
constexpr bool IsSjisRowLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF); }
constexpr bool IsSjisTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC; }

// Copies the ASCII bytes at the start of [src, end) to `out` and returns how
// many there were. Text is mostly ASCII or mostly double-byte, so a run is
// taken 16 bytes at a time: each block is stored whole (the caller leaves room
// for it) and the output advances only over its ASCII bytes.
inline std::size_t CopyAsciiRun(char* out, const unsigned char* src, const unsigned char* end) {
    std::size_t n = 0;
    while (end - (src + n) >= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, src + n, 8);
        std::memcpy(&b, src + n + 8, 8);
        std::memcpy(out + n, &a, 8);
        std::memcpy(out + n + 8, &b, 8);
        const std::uint64_t highA = a & 0x8080808080808080ull;
        const std::uint64_t highB = b & 0x8080808080808080ull;
        // Little-endian words: the lowest set bit marks the first high byte.
        if (highA) return n + static_cast<std::size_t>(__builtin_ctzll(highA) / 8);
        if (highB) return n + 8 + static_cast<std::size_t>(__builtin_ctzll(highB) / 8);
        n += 16;
    }
    while (src + n < end && src[n] < 0x80) {
        out[n] = static_cast<char>(src[n]);
        ++n;
    }
    return n;
}

// Where the first ESC is among the 16 bytes of `a` and `b` (little-endian
// words), 16 when there is none: a zero byte after the exclusive or, the
// lowest one found exactly.
inline std::size_t EscapeIn16(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    a ^= kOnes * ESC;
    b ^= kOnes * ESC;
    const std::uint64_t zeroA = (a - kOnes) & ~a & kHigh;
    const std::uint64_t zeroB = (b - kOnes) & ~b & kHigh;
    if (zeroA) return static_cast<std::size_t>(__builtin_ctzll(zeroA) / 8);
    if (zeroB) return 8 + static_cast<std::size_t>(__builtin_ctzll(zeroB) / 8);
    return 16;
}

// The double-byte mapping as tables, so a character costs two lookups.
// A zero entry marks a byte that is no row lead or no trail byte.
struct SjisToJisTables {
    std::array<unsigned char, 256> lead{};   // twice the row pair number, less one
    std::array<std::uint16_t, 256> trail{};  // the second JIS byte; in the high byte, 1 for the even row
};

constexpr SjisToJisTables MakeSjisToJisTables() {
    SjisToJisTables t;
    for (unsigned c = 0; c < 256; ++c) {
        if (IsSjisRowLead(static_cast<unsigned char>(c)))
            t.lead[c] = static_cast<unsigned char>(2 * (c - (c < 0xA0 ? 0x70 : 0xB0)) - 1);
        if (IsSjisTrail(static_cast<unsigned char>(c))) {
            const unsigned j2 = c - (c >= 0x9F ? 0x7E : (c > 0x7F ? 0x20 : 0x1F));
            t.trail[c] = static_cast<std::uint16_t>(j2 | (c >= 0x9F ? 0x100 : 0));
        }
    }
    return t;
}

constexpr SjisToJisTables kToJis = MakeSjisToJisTables();

struct JisToSjisTables {
    std::array<unsigned char, 128> lead{};   // by the first JIS byte
    std::array<unsigned char, 256> trail{};  // by the second, plus 128 in an odd row
};

constexpr JisToSjisTables MakeJisToSjisTables() {
    JisToSjisTables t;
    for (unsigned j = 0x21; j <= 0x7E; ++j) {
        t.lead[j] = static_cast<unsigned char>((j + 1) / 2 + (j <= 0x5E ? 0x70 : 0xB0));
        t.trail[128 + j] = static_cast<unsigned char>(j + (j <= 0x5F ? 0x1F : 0x20));
        t.trail[j] = static_cast<unsigned char>(j + 0x7E);
    }
    return t;
}

constexpr JisToSjisTables kToSjis = MakeJisToSjisTables();

// The Shift_JIS form of the JIS X 0208 pair (j1, j2).
inline char* PutSjisOfJis(char* out, unsigned j1, unsigned j2) {
    out[0] = static_cast<char>(kToSjis.lead[j1]);
    // The row's parity picks the half of the table, without a branch: the
    // parity of neighbouring characters is as good as random.
    out[1] = static_cast<char>(kToSjis.trail[((j1 & 1) << 7) | j2]);
    return out + 2;
}

#if defined(__SSE2__)
// Whether each byte of `v` lies in [lo, hi] (unsigned).
inline __m128i InRange(__m128i v, unsigned char lo, unsigned char hi) {
    const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo)));
    return _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(static_cast<char>(hi - lo))), shifted);
}

// Converts the double-byte characters at the start of [src, end) while 16
// bytes are left, eight at a time, and returns how many: the run's length
// comes from masks, not from a branch per character, which short runs of
// kanji between ASCII words would get wrong half the time. Each step stores
// 16 bytes at `out`; the callers' room (at least one byte out per byte in)
// holds them.
inline std::size_t ConvertPairs(char* out, const unsigned char* src, const unsigned char* end) {
    std::size_t done = 0;
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    while (end - (src + 2 * done) >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * done));
        const __m128i lead = _mm_or_si128(InRange(v, 0x81, 0x9F), InRange(v, 0xE0, 0xEF));
        const __m128i trail = InRange(v, 0x40, 0xFC);
        // Bit 2k: the k-th byte pair is a lead byte and its trail byte.
        const unsigned valid = static_cast<unsigned>(_mm_movemask_epi8(lead)) &
                               (static_cast<unsigned>(_mm_movemask_epi8(trail)) >> 1) & 0x5555u;
        const unsigned stop = ~valid & 0x5555u;
        const std::size_t count = stop ? static_cast<std::size_t>(__builtin_ctz(stop)) / 2 : 8;
        // The arithmetic of the mapping on all eight pairs (16-bit lanes: the
        // lead byte low, the trail byte high).
        const __m128i s1 = _mm_and_si128(v, lowBytes);
        const __m128i s2 = _mm_srli_epi16(v, 8);
        const __m128i below0xA0 = _mm_cmplt_epi16(s1, _mm_set1_epi16(0xA0));
        const __m128i base = _mm_sub_epi16(_mm_set1_epi16(0xB0), _mm_and_si128(below0xA0, _mm_set1_epi16(0x40)));
        // -1 where the trail byte means the odd row of the pair.
        const __m128i oddRow = _mm_cmplt_epi16(s2, _mm_set1_epi16(0x9F));
        const __m128i j1 = _mm_add_epi16(_mm_slli_epi16(_mm_sub_epi16(s1, base), 1), oddRow);
        const __m128i above0x7F = _mm_cmpgt_epi16(s2, _mm_set1_epi16(0x7F));
        const __m128i minus = _mm_or_si128(_mm_and_si128(oddRow, _mm_sub_epi16(_mm_set1_epi16(0x1F), above0x7F)),
                                           _mm_andnot_si128(oddRow, _mm_set1_epi16(0x7E)));
        const __m128i j2 = _mm_sub_epi16(s2, minus);
        const __m128i jis = _mm_or_si128(_mm_and_si128(j1, lowBytes), _mm_slli_epi16(j2, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * done), jis);
        done += count;
        if (count < 8) break;
    }
    return done;
}

// The same from JIS X 0208 pairs (both bytes 0x21-0x7E) to Shift_JIS.
inline std::size_t ConvertJisPairs(char* out, const unsigned char* src, const unsigned char* end) {
    std::size_t done = 0;
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i one = _mm_set1_epi16(1);
    while (end - (src + 2 * done) >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * done));
        const unsigned jisBytes = static_cast<unsigned>(_mm_movemask_epi8(InRange(v, 0x21, 0x7E)));
        const unsigned valid = jisBytes & (jisBytes >> 1) & 0x5555u;
        const unsigned stop = ~valid & 0x5555u;
        const std::size_t count = stop ? static_cast<std::size_t>(__builtin_ctz(stop)) / 2 : 8;
        const __m128i j1 = _mm_and_si128(v, lowBytes);
        const __m128i j2 = _mm_srli_epi16(v, 8);
        const __m128i upperRows = _mm_cmpgt_epi16(j1, _mm_set1_epi16(0x5E));
        const __m128i s1 = _mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(j1, one), 1),
                                         _mm_add_epi16(_mm_set1_epi16(0x70), _mm_and_si128(upperRows, _mm_set1_epi16(0x40))));
        // -1 in an odd row: the trail byte of the pair's first half.
        const __m128i oddRow = _mm_cmpeq_epi16(_mm_and_si128(j1, one), one);
        const __m128i above0x5F = _mm_cmpgt_epi16(j2, _mm_set1_epi16(0x5F));
        const __m128i plus = _mm_or_si128(_mm_and_si128(oddRow, _mm_sub_epi16(_mm_set1_epi16(0x1F), above0x5F)),
                                          _mm_andnot_si128(oddRow, _mm_set1_epi16(0x7E)));
        const __m128i s2 = _mm_add_epi16(j2, plus);
        const __m128i sjis = _mm_or_si128(_mm_and_si128(s1, lowBytes), _mm_slli_epi16(s2, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * done), sjis);
        done += count;
        if (count < 8) break;
    }
    return done;
}
#else
inline std::size_t ConvertPairs(char*, const unsigned char*, const unsigned char*) { return 0; }
inline std::size_t ConvertJisPairs(char*, const unsigned char*, const unsigned char*) { return 0; }
#endif

char* PutDesignation(char* out, char a, char b) {
    out[0] = static_cast<char>(ESC);
    out[1] = a;
    out[2] = b;
    return out + 3;
}

}  // namespace

bool IsKanji2(const char* s, int pos) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    if (pos <= 0 || !IsKanji2(u[pos])) return false;
    int leads = 0;
    for (int i = pos - 1; i >= 0 && IsKanji1(u[i]); --i) ++leads;
    return (leads & 1) != 0;
}

bool IsUSAscii(const unsigned char* s) {
    for (; *s; ++s) {
        if (*s >= 0x80) return false;
        if (*s < 0x20 && *s != '\t' && *s != '\r' && *s != '\n') return false;
    }
    return true;
}

int Jis2Sjis(char* dest, const unsigned char* src) {
    return Jis2SjisBytes(dest, src, static_cast<int>(std::strlen(reinterpret_cast<const char*>(src))));
}

int Jis2SjisBytes(char* dest, const unsigned char* src, int length) {
    JisMode mode = JisMode::Ascii;
    return Jis2SjisBytes(dest, src, length, mode);
}

int Jis2SjisBytes(char* dest, const unsigned char* src, int length, JisMode& modeInOut) {
    JisMode mode = modeInOut;
    char* out = dest;
    const unsigned char* end = src + (length > 0 ? length : 0);
    // Kanji go eight at a time with 16-byte stores, where a store cannot reach
    // input not read yet: always when the output is elsewhere, in place only
    // once the output is 16 bytes behind.
    const auto address = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
    const bool apart = address(dest) + static_cast<std::size_t>(end - src) + 1 <= address(src) || address(end) <= address(dest);
    while (src < end) {
        // Every designation changes the mode and leaves no bytes behind, also
        // one that names the mode already in force.
        if (*src == ESC && end - src >= 3) {
            if (IsKanjiIn(src)) {
                mode = JisMode::Kanji;
                src += 3;
                continue;
            }
            if (IsKanjiOut(src)) {
                mode = JisMode::Ascii;
                src += 3;
                continue;
            }
            if (IsKatakanaIn(src)) {
                mode = JisMode::Katakana;
                src += 3;
                continue;
            }
        }
        if (mode == JisMode::Kanji) {
            if (apart || address(out) + 16 <= address(src)) {
                const std::size_t pairs = ConvertJisPairs(out, src, end);
                out += 2 * pairs;
                src += 2 * pairs;
            }
            while (end - src >= 2 && IsJisByte(src[0]) && IsJisByte(src[1])) {
                out = PutSjisOfJis(out, src[0], src[1]);
                src += 2;
            }
            if (src < end && !IsDesignationAt(src, end)) *out++ = static_cast<char>(*src++);
        } else if (mode == JisMode::Katakana) {
            // JIS X 0201 katakana: the half-width forms of Shift_JIS.
            while (src < end && *src >= 0x21 && *src <= 0x5F) *out++ = static_cast<char>(*src++ + 0x80);
            if (src < end && !IsDesignationAt(src, end)) *out++ = static_cast<char>(*src++);
        } else {
            // Up to the next escape every byte stays as it is; an escape that
            // designates nothing is a byte like the others. Taken 16 bytes at a
            // time, each block stored whole where the store cannot reach input
            // not read yet (loaded before stored: the output may be the input).
            if (*src == ESC) *out++ = static_cast<char>(*src++);
            bool escapeFound = false;
            while (!escapeFound && end - src >= 16 && (apart || address(out) + 16 <= address(src))) {
                std::uint64_t a, b;
                std::memcpy(&a, src, 8);
                std::memcpy(&b, src + 8, 8);
                std::memcpy(out, &a, 8);
                std::memcpy(out + 8, &b, 8);
                const std::size_t n = EscapeIn16(a, b);
                escapeFound = n < 16;
                out += n;
                src += n;
            }
            if (!escapeFound) {
                while (src < end && *src != ESC) *out++ = static_cast<char>(*src++);
            }
        }
    }
    modeInOut = mode;
    *out = '\0';
    return static_cast<int>(out - dest);
}

int Sjis2Jis(char* dest, const unsigned char* src) {
    return Sjis2JisBytes(dest, src, static_cast<int>(std::strlen(reinterpret_cast<const char*>(src))));
}

int Sjis2JisBytes(char* dest, const unsigned char* src, int length) {
    char* out = dest;
    const unsigned char* end = src + (length > 0 ? length : 0);
    bool kanji = false;
    while (src < end) {
        const unsigned char c = *src;
        if (c < 0x80) {
            if (kanji) {
                out = PutDesignation(out, '(', 'B');
                kanji = false;
            }
            const std::size_t n = CopyAsciiRun(out, src, end);
            out += n;
            src += n;
        } else if (kToJis.lead[c]) {
            if (!kanji) {
                out = PutDesignation(out, '$', 'B');
                kanji = true;
            }
            // A run of double-byte characters, eight at a time where the
            // processor can; a lead byte without its trail byte goes out as it is.
            const std::size_t pairs = ConvertPairs(out, src, end);
            out += 2 * pairs;
            src += 2 * pairs;
            while (src < end) {
                const unsigned lead = kToJis.lead[*src];
                if (!lead) break;
                const unsigned trail = end - src >= 2 ? kToJis.trail[src[1]] : 0;
                if (trail) {
                    out[0] = static_cast<char>(lead + (trail >> 8));
                    out[1] = static_cast<char>(trail & 0xFF);
                    out += 2;
                    src += 2;
                } else {
                    *out++ = static_cast<char>(*src++);
                }
            }
        } else {
            if (kanji) {
                out = PutDesignation(out, '(', 'B');
                kanji = false;
            }
            // Half-width katakana cannot travel in JIS; callers convert it first.
            *out++ = (c >= 0xA1 && c <= 0xDF) ? ' ' : static_cast<char>(c);
            ++src;
        }
    }
    if (kanji) out = PutDesignation(out, '(', 'B');
    *out = '\0';
    return static_cast<int>(out - dest);
}

int LengthAsJis(const unsigned char* sjis) {
    int n = 0;
    bool kanji = false;
    while (*sjis) {
        unsigned char c = *sjis;
        if (IsSjisRowLead(c)) {
            if (!kanji) {
                n += 3;
                kanji = true;
            }
            if (IsSjisTrail(sjis[1])) {
                n += 2;
                sjis += 2;
            } else {
                n += 1;
                ++sjis;
            }
        } else {
            if (kanji) {
                n += 3;
                kanji = false;
            }
            n += 1;
            ++sjis;
        }
    }
    return kanji ? n + 3 : n;
}

#include "common/JapaneseCodes.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char ESC = 0x1B;

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

// Whether one of 16 bytes is ESC (a zero byte after the exclusive or).
inline bool HasEscapeIn16(const unsigned char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    std::uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + 8, 8);
    a ^= kOnes * ESC;
    b ^= kOnes * ESC;
    return (((a - kOnes) & ~a) | ((b - kOnes) & ~b)) & kHigh;
}

// The double-byte mapping as tables, so a character costs two lookups.
// A zero entry marks a byte that is no row lead or no trail byte.
struct SjisToJisTables {
    std::array<unsigned char, 256> lead{};   // twice the row pair number, plus one
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
            // designates nothing is a byte like the others.
            if (*src == ESC) *out++ = static_cast<char>(*src++);
            while (end - src >= 16 && !HasEscapeIn16(src)) {
                // Loaded before stored: the output may be the input itself.
                std::uint64_t a, b;
                std::memcpy(&a, src, 8);
                std::memcpy(&b, src + 8, 8);
                std::memcpy(out, &a, 8);
                std::memcpy(out + 8, &b, 8);
                out += 16;
                src += 16;
            }
            while (src < end && *src != ESC) *out++ = static_cast<char>(*src++);
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
            // A run of double-byte characters; a lead byte without its trail
            // byte goes out as it is.
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

#include "common/JapaneseCodes.h"

#include <cstring>

namespace {

constexpr unsigned char ESC = 0x1B;

bool IsKanjiIn(const unsigned char* p) { return p[0] == ESC && p[1] == '$' && (p[2] == 'B' || p[2] == '@'); }
bool IsKanjiOut(const unsigned char* p) { return p[0] == ESC && p[1] == '(' && (p[2] == 'B' || p[2] == 'J'); }
bool IsKatakanaIn(const unsigned char* p) { return p[0] == ESC && p[1] == '(' && p[2] == 'I'; }
bool IsJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

enum class Mode { Ascii, Kanji, Katakana };

// First bytes of the JIS X 0208 rows; 0xF0-0xFC (user-defined) are left alone.
bool IsSjisRowLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF); }
bool IsSjisTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC; }

// The Shift_JIS form of the JIS X 0208 pair (j1, j2).
char* PutSjisOfJis(char* out, unsigned j1, unsigned j2) {
    *out++ = static_cast<char>((j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0));
    *out++ = static_cast<char>(j2 + ((j1 & 1) ? (j2 <= 0x5F ? 0x1F : 0x20) : 0x7E));
    return out;
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
    char* out = dest;
    const unsigned char* end = src + (length > 0 ? length : 0);
    Mode mode = Mode::Ascii;
    while (src < end) {
        const long left = end - src;
        // Every designation changes the mode and leaves no bytes behind, also
        // one that names the mode already in force.
        if (left >= 3 && IsKanjiIn(src)) {
            mode = Mode::Kanji;
            src += 3;
        } else if (left >= 3 && IsKanjiOut(src)) {
            mode = Mode::Ascii;
            src += 3;
        } else if (left >= 3 && IsKatakanaIn(src)) {
            mode = Mode::Katakana;
            src += 3;
        } else if (mode == Mode::Kanji && left >= 2 && IsJisByte(src[0]) && IsJisByte(src[1])) {
            out = PutSjisOfJis(out, src[0], src[1]);
            src += 2;
        } else if (mode == Mode::Katakana && src[0] >= 0x21 && src[0] <= 0x5F) {
            // JIS X 0201 katakana: the half-width forms of Shift_JIS.
            *out++ = static_cast<char>(src[0] + 0x80);
            ++src;
        } else {
            *out++ = static_cast<char>(*src++);
        }
    }
    *out = '\0';
    return static_cast<int>(out - dest);
}

int Sjis2Jis(char* dest, const unsigned char* src) {
    char* out = dest;
    bool kanji = false;
    auto leaveKanji = [&] {
        if (kanji) {
            *out++ = ESC;
            *out++ = '(';
            *out++ = 'B';
            kanji = false;
        }
    };
    while (*src) {
        unsigned char c = *src;
        if (IsSjisRowLead(c)) {
            if (!kanji) {
                *out++ = ESC;
                *out++ = '$';
                *out++ = 'B';
                kanji = true;
            }
            unsigned char s2 = src[1];
            if (IsSjisTrail(s2)) {
                unsigned s1 = c;
                *out++ = static_cast<char>(2 * (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)) - (s2 < 0x9F ? 1 : 0));
                *out++ = static_cast<char>(s2 - (s2 >= 0x9F ? 0x7E : (s2 > 0x7F ? 0x20 : 0x1F)));
                src += 2;
            } else {
                *out++ = static_cast<char>(c);
                ++src;
            }
        } else if (c >= 0xA1 && c <= 0xDF) {
            // Half-width katakana cannot travel in JIS; callers convert it first.
            leaveKanji();
            *out++ = ' ';
            ++src;
        } else {
            leaveKanji();
            *out++ = static_cast<char>(c);
            ++src;
        }
    }
    leaveKanji();
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

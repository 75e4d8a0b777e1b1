#include "common/SHanZenKana.h"

#include <cstring>
#include <vector>

#include "common/JapaneseCodes.h"

namespace {

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// A half-width letter and its full-width form as two Shift_JIS bytes in text
// order. A row with a zero byte ends a table.
struct KanaRow {
    unsigned char han;
    unsigned char zen1;
    unsigned char zen2;
};

constexpr KanaRow kVoiced[] = {
    {0xB6, 0x83, 0x4B}, {0xB7, 0x83, 0x4D}, {0xB8, 0x83, 0x4F}, {0xB9, 0x83, 0x51}, {0xBA, 0x83, 0x53},
    {0xBB, 0x83, 0x55}, {0xBC, 0x83, 0x57}, {0xBD, 0x83, 0x59}, {0xBE, 0x83, 0x5B}, {0xBF, 0x83, 0x5D},
    {0xC0, 0x83, 0x5F}, {0xC1, 0x83, 0x61}, {0xC2, 0x83, 0x64}, {0xC3, 0x83, 0x66}, {0xC4, 0x83, 0x68},
    {0xCA, 0x83, 0x6F}, {0xCB, 0x83, 0x72}, {0xCC, 0x83, 0x75}, {0xCD, 0x83, 0x78}, {0xCE, 0x83, 0x7B},
    {0xB3, 0x83, 0x94}, {0, 0, 0},
};

constexpr KanaRow kSemiVoiced[] = {
    {0xCA, 0x83, 0x70}, {0xCB, 0x83, 0x73}, {0xCC, 0x83, 0x76}, {0xCD, 0x83, 0x79}, {0xCE, 0x83, 0x7C}, {0, 0, 0},
};

// Full-width forms of 0xA1-0xDF (JIS X 0201 katakana to JIS X 0208).
constexpr unsigned short kPlain[0xDF - 0xA1 + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

unsigned Zen(unsigned char first, unsigned char second) { return first | (second << 8); }

unsigned FindZen(const KanaRow* table, unsigned char han) {
    for (; table->han; ++table)
        if (table->han == han) return Zen(table->zen1, table->zen2);
    return 0;
}

char FindHan(const KanaRow* table, unsigned zen) {
    for (; table->han; ++table)
        if (Zen(table->zen1, table->zen2) == zen) return static_cast<char>(table->han);
    return 0;
}

}  // namespace

unsigned SHanZenKana::Sei2Daku(char han) const { return FindZen(kVoiced, static_cast<unsigned char>(han)); }
char SHanZenKana::Daku2Sei(unsigned zen) const { return FindHan(kVoiced, zen); }
unsigned SHanZenKana::Sei2Handaku(char han) const { return FindZen(kSemiVoiced, static_cast<unsigned char>(han)); }
char SHanZenKana::Handaku2Sei(unsigned zen) const { return FindHan(kSemiVoiced, zen); }

unsigned SHanZenKana::Sei2Sei(char han) const {
    unsigned char c = static_cast<unsigned char>(han);
    if (!IsHankakuKana(c)) return 0;
    unsigned short code = kPlain[c - 0xA1];
    return Zen(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF));
}

char SHanZenKana::Sei2Sei(unsigned zen) const {
    unsigned short code = static_cast<unsigned short>(((zen & 0xFF) << 8) | ((zen >> 8) & 0xFF));
    for (unsigned i = 0; i < sizeof kPlain / sizeof kPlain[0]; ++i)
        if (kPlain[i] == code) return static_cast<char>(0xA1 + i);
    return 0;
}

int SHanZenKana::Han2Zen(char c, char next, unsigned* zen) const {
    unsigned char u = static_cast<unsigned char>(c);
    if (!IsHankakuKana(u)) return 0;
    unsigned char n = static_cast<unsigned char>(next);
    if (n == kVoicedMark) {
        if (unsigned z = Sei2Daku(c)) {
            *zen = z;
            return 3;
        }
    } else if (n == kSemiVoicedMark) {
        if (unsigned z = Sei2Handaku(c)) {
            *zen = z;
            return 2;
        }
    }
    *zen = Sei2Sei(c);
    return 1;
}

char* SHanZenKana::Han2Zen(const char* src, char* dest, int size) const {
    if (size <= 0) return nullptr;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(src);
    int n = 0;
    while (*s) {
        unsigned char piece[2];
        int take;  // input bytes consumed
        int len;   // output bytes
        unsigned zen;
        if (IsKanji1(s[0]) && s[1]) {
            piece[0] = s[0];
            piece[1] = s[1];
            take = len = 2;
        } else if (int r = Han2Zen(static_cast<char>(s[0]), static_cast<char>(s[1]), &zen)) {
            piece[0] = static_cast<unsigned char>(zen & 0xFF);
            piece[1] = static_cast<unsigned char>(zen >> 8);
            take = r == 1 ? 1 : 2;
            len = 2;
        } else {
            piece[0] = s[0];
            take = len = 1;
        }
        if (n + len > size - 1) {
            dest[n] = '\0';
            return nullptr;
        }
        std::memcpy(dest + n, piece, static_cast<std::size_t>(len));
        n += len;
        s += take;
    }
    dest[n] = '\0';
    return dest;
}

bool SHanZenKana::Han2Zen(const std::string& src, std::string& dest) const {
    std::vector<char> buffer(2 * src.size() + 2);
    if (!Han2Zen(src.c_str(), buffer.data(), static_cast<int>(buffer.size()))) return false;
    dest.assign(buffer.data());
    return true;
}

bool SHanZenKana::DoesExistHankaku(const char* s) const {
    unsigned first, end;
    return DoesExistHankaku(s, &first, &end);
}

bool SHanZenKana::DoesExistHankaku(const char* s, unsigned* first, unsigned* end) const {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    std::size_t i = 0;
    while (u[i]) {
        if (IsKanji1(u[i]) && u[i + 1]) {
            i += 2;
        } else if (IsHankakuKana(u[i])) {
            *first = static_cast<unsigned>(i);
            while (IsHankakuKana(u[i])) ++i;
            *end = static_cast<unsigned>(i);
            return true;
        } else {
            ++i;
        }
    }
    *first = static_cast<unsigned>(-1);
    *end = static_cast<unsigned>(i);
    return false;
}

int SHanZenKana::Zen2Han(unsigned zen, char* letterOut, char* mark) const {
    if (char h = Daku2Sei(zen)) {
        *letterOut = h;
        *mark = static_cast<char>(kVoicedMark);
        return 3;
    }
    if (char h = Handaku2Sei(zen)) {
        *letterOut = h;
        *mark = static_cast<char>(kSemiVoicedMark);
        return 2;
    }
    *mark = 0;
    *letterOut = Sei2Sei(zen);
    return *letterOut ? 1 : 0;
}

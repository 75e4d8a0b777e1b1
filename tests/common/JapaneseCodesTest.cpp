#include <gtest/gtest.h>

#include <string>

#include "common/JapaneseCodes.h"
#include "common/SHanZenKana.h"

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.c_str()); }

std::string ToJis(const std::string& sjis) {
    std::string out(static_cast<std::size_t>(LengthAsJis(U(sjis))) + 1, '\0');
    int n = Sjis2Jis(out.data(), U(sjis));
    EXPECT_EQ(n, LengthAsJis(U(sjis))) << "LengthAsJis must predict Sjis2Jis";
    EXPECT_EQ(out[static_cast<std::size_t>(n)], '\0');
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string ToSjis(const std::string& jis) {
    std::string out(jis.size() + 1, '\x7F');
    int n = Jis2Sjis(out.data(), U(jis));
    EXPECT_EQ(out[static_cast<std::size_t>(n)], '\0');
    out.resize(static_cast<std::size_t>(n));
    return out;
}

#define KI "\x1B$B"
#define KO "\x1B(B"

TEST(Sjis2Jis, EmitsShortestFormEndingEveryLineInAscii) {
    struct Case {
        std::string sjis;
        std::string jis;
    } cases[] = {
        {"\x82\xA0" "A", KI "\x24\x22" KO "A"},                      // あA: 9 bytes
        {"\x82\xA0\r\n", KI "\x24\x22" KO "\r\n"},                   // closed before CR
        {"\x82\xA0\x82\xA2\x82\xA4", KI "\x24\x22\x24\x24\x24\x26" KO},  // one section for a run
        {"\xB1", " "},                                               // half-width ｱ alone
        {"\x82\xA0\xB1\x82\xA0", KI "\x24\x22" KO " " KI "\x24\x22" KO},
        {"\x95\x5C", KI "\x49\x3D" KO},                              // 表 (second byte 0x5C)
        {"\x88\x9F\x9F\x40\xE0\x40\xEA\xA4", KI "\x30\x21\x5D\x21\x5F\x21\x74\x26" KO},  // 亜 and row ends
        {"\x81\x40\x81\x7E\x81\x80\x81\x9E\x81\x9F\x81\xFC",
         KI "\x21\x21\x21\x5F\x21\x60\x21\x7E\x22\x21\x22\x7E" KO},  // trail byte boundaries
        {"\xF0\x40", "\xF0\x40"},                                    // user area is not a lead byte here
        {"\x82\x0A", KI "\x82" KO "\n"},                             // lead byte without trail byte
        {"\x82", KI "\x82" KO},
        {"", ""},
        {"plain ascii\t~\\", "plain ascii\t~\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToJis(c.sjis), c.jis) << c.sjis;
}

TEST(Jis2Sjis, DecodesKanjiSectionsAndPassesOtherBytes) {
    struct Case {
        std::string jis;
        std::string sjis;
    } cases[] = {
        {KI "\x24\x22" KO "A", "\x82\xA0" "A"},
        {KI KI "\x24\x22" KO, "\x82\xA0"},                  // doubled designation dropped
        {"\x1B$@\x24\x22\x1B(J", "\x82\xA0"},               // old JIS and JIS-Roman designations
        {KI "\x24\x22" KI "\x24\x24" KO, "\x82\xA0\x82\xA2"},  // repeated designation inside kanji
        {KO "A", "A"},                                      // ESC ( B in ASCII state is dropped too
        {"\x1B(I\x31\x5F" KO "A", "\xB1\xDF" "A"},           // JIS X 0201 katakana: half-width kana
        {"\x1B(I\x31" KI "\x24\x22" KO, "\xB1\x82\xA0"},       // ... left by a kanji designation
        {KI "\x24\x22\r\n\x24\x24" KO, "\x82\xA0\r\n\x82\xA2"},  // line breaks pass inside kanji
        {KI "\x24", "\x24"},                                // a lone byte before the end
        {KI "\x49\x3D\x30\x21\x5D\x21\x5F\x21\x74\x26" KO, "\x95\x5C\x88\x9F\x9F\x40\xE0\x40\xEA\xA4"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ToSjis(c.jis), c.sjis) << c.jis;
}

TEST(Jis2Sjis, ConvertsInPlace) {
    char text[] = KI "\x24\x22\x24\x24" KO " end";
    int n = Jis2Sjis(text, reinterpret_cast<const unsigned char*>(text));
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(n)), "\x82\xA0\x82\xA2 end");
}

// Every JIS X 0208 code point survives the round trip through Shift_JIS.
TEST(JisConversion, EveryJisX0208CellRoundTrips) {
    for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            std::string jis = KI;
            jis += static_cast<char>(j1);
            jis += static_cast<char>(j2);
            jis += KO;
            std::string sjis = ToSjis(jis);
            ASSERT_EQ(sjis.size(), 2u);
            ASSERT_TRUE(IsKanji1(static_cast<unsigned char>(sjis[0])));
            ASSERT_TRUE(IsKanji2(static_cast<unsigned char>(sjis[1])));
            ASSERT_EQ(ToJis(sjis), jis) << j1 << "," << j2;
        }
    }
}

// ASCII is taken a block at a time: a double-byte character at any place
// around the block edges, after any length of ASCII, must come out the same.
TEST(JisConversion, AsciiRunsOfEveryLengthAroundADoubleByteCharacter) {
    for (std::size_t before = 0; before <= 40; ++before) {
        for (std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{16}, std::size_t{17}, std::size_t{33}}) {
            const std::string head(before, 'a'), tail(after, 'z');
            const std::string sjis = head + "\x95\x5C\x82\xA0" + tail;  // 表あ
            const std::string jis = head + KI "\x49\x3D\x24\x22" KO + tail;
            ASSERT_EQ(ToJis(sjis), jis) << before << "+" << after;
            ASSERT_EQ(ToSjis(jis), sjis) << before << "+" << after;
            // In place, with the output behind the input by the designation.
            std::string buffer = jis;
            const int n = Jis2Sjis(buffer.data(), U(buffer));
            ASSERT_EQ(buffer.substr(0, static_cast<std::size_t>(n)), sjis) << before << "+" << after;
        }
    }
}

// Long kanji and ASCII runs go in blocks; converting in place, where the
// output falls behind the input by the designations dropped, must give what
// converting into another buffer gives.
TEST(Jis2Sjis, InPlaceEqualsIntoAnotherBuffer) {
    std::string jis;
    for (int i = 0; i < 60; ++i) {
        jis += KI;
        for (int k = 0; k <= i % 23; ++k) jis += std::string(1, static_cast<char>(0x30 + k)) + static_cast<char>(0x21 + 3 * k);
        jis += KO;
        jis += std::string(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
        if (i % 7 == 0) jis += "\x1B$A";  // no designation: stays
    }
    std::string apart(jis.size() + 1, '\0');
    apart.resize(static_cast<std::size_t>(Jis2SjisBytes(apart.data(), U(jis), static_cast<int>(jis.size()))));
    std::string in = jis;
    const int n = Jis2SjisBytes(in.data(), U(in), static_cast<int>(in.size()));
    EXPECT_TRUE(in.substr(0, static_cast<std::size_t>(n)) == apart);
    EXPECT_TRUE(ToSjis(ToJis(apart)) == apart);  // and back again
}

// A NUL is a byte of the text for the counted forms: copied, and the kanji
// section closed before it as before any ASCII byte.
TEST(JisConversion, CountedFormsCarryNulBytes) {
    const std::string sjis("\x82\xA0\0\x82\xA2", 5);
    std::string jis(4 * sjis.size() + 4, '\x7F');
    const int n = Sjis2JisBytes(jis.data(), U(sjis), static_cast<int>(sjis.size()));
    EXPECT_EQ(jis.substr(0, static_cast<std::size_t>(n)), std::string(KI "\x24\x22" KO "\0" KI "\x24\x24" KO, 17));
    EXPECT_EQ(jis[static_cast<std::size_t>(n)], '\0');
    std::string back(jis.size(), '\x7F');
    const int m = Jis2SjisBytes(back.data(), U(jis), n);
    EXPECT_EQ(back.substr(0, static_cast<std::size_t>(m)), sjis);
}

// Text converted in pieces gives what the whole gives when the mode at the end
// of a piece starts the next: kanji and katakana sections run across the cut.
TEST(JisConversion, ModeCarriesFromPieceToPiece) {
    const std::string jis = KI "\x24\x22\r\n\x24\x24" "\x1B(I\x31\r\n\x32" KO "end";
    std::string whole(jis.size() + 1, '\0');
    whole.resize(static_cast<std::size_t>(Jis2SjisBytes(whole.data(), U(jis), static_cast<int>(jis.size()))));
    EXPECT_EQ(whole, "\x82\xA0\r\n\x82\xA2\xB1\r\n\xB2" "end");
    // Every cut between characters (none through a designation or a pair).
    for (std::size_t cut : {0, 3, 5, 6, 7, 9, 12, 13, 14, 15, 16, 19, 22}) {
        JisMode mode = JisMode::Ascii;
        std::string out(jis.size() + 2, '\0');
        const int first = Jis2SjisBytes(out.data(), U(jis), static_cast<int>(cut), mode);
        const int second = Jis2SjisBytes(out.data() + first, U(jis) + cut, static_cast<int>(jis.size() - cut), mode);
        out.resize(static_cast<std::size_t>(first + second));
        EXPECT_EQ(out, whole) << "cut at " << cut;
        EXPECT_EQ(mode, JisMode::Ascii);
    }
}

// An escape that designates nothing, or is cut off by the end, is a byte like
// the others in every mode (and never stops the conversion).
TEST(Jis2Sjis, StrayEscapesPassThrough) {
    struct Case {
        std::string jis;
        std::string sjis;
    } cases[] = {
        {"a\x1B$Ab", "a\x1B$Ab"},
        {KI "\x24\x22\x1B(", "\x82\xA0\x1B("},
        {KI "\x24\x22\x1B", "\x82\xA0\x1B"},
        {KI "\x1B$A\x24\x22", "\x1B\x82\xBF\x82\xA0"},  // in kanji "$A" is a pair
        {"\x1B(I\x31\x1B", "\xB1\x1B"},
        {"0123456789abcdef\x1B" "0123456789abcdef", "0123456789abcdef\x1B" "0123456789abcdef"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToSjis(c.jis), c.sjis) << c.jis;
}

TEST(JisConversion, HalfWidthKatakanaIsWidenedBeforeEncoding) {
    std::string wide;
    ASSERT_TRUE(SHanZenKana().Han2Zen("\xB1", wide));
    EXPECT_EQ(ToJis(wide), KI "\x25\x22" KO);
}

TEST(ByteClasses, FollowTheShiftJisRanges) {
    for (int c = 0; c < 256; ++c) {
        unsigned char u = static_cast<unsigned char>(c);
        EXPECT_EQ(IsKanji1(u), (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) << c;
        EXPECT_EQ(IsKanji2(u), (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC)) << c;
    }
    EXPECT_FALSE(IsPartOfWord('5'));
    EXPECT_TRUE(IsPartOfWord('_'));
    EXPECT_TRUE(IsLWSP('\t'));
    EXPECT_FALSE(IsLWSP('\n'));
}

TEST(ByteClasses, SecondByteNeedsAnOddRunOfLeadBytes) {
    struct Case {
        const char* text;
        int pos;
        bool second;
    } cases[] = {
        {"\x95\x5C", 1, true},           // 表
        {"\x95\x5C", 0, false},
        {"a\\", 1, false},
        {"\x82\xA0\x95\x5C", 3, true},   // あ表: the lead-byte run before 0x5C is 0x95 alone
        {"\x81\x81\x5C", 2, false},      // 0x81 0x81 is one character; 0x5C stands alone
        {"\x81\x81\x81\x5C", 3, true},
        {"\x82\x0A", 1, false},          // LF is never a second byte
    };
    for (const Case& c : cases) EXPECT_EQ(IsKanji2(c.text, c.pos), c.second) << c.text << " @" << c.pos;
}

TEST(ByteClasses, UsAsciiText) {
    EXPECT_TRUE(IsUSAscii(U("")));
    EXPECT_TRUE(IsUSAscii(U("Subject: hi\r\n\t")));
    EXPECT_FALSE(IsUSAscii(U("a\x1B$B")));
    EXPECT_FALSE(IsUSAscii(U("\x82\xA0")));
}

}  // namespace

#include <gtest/gtest.h>

#include "common/SHanZenKana.h"

namespace {

std::string Widen(const std::string& s) {
    std::string out;
    EXPECT_TRUE(SHanZenKana().Han2Zen(s, out));
    return out;
}

TEST(SHanZenKana, WidensLettersMarksAndPunctuation) {
    struct Case {
        std::string half;
        std::string full;
    } cases[] = {
        {"\xB6\xDE", "\x83\x4B"},                 // ｶﾞ -> ガ
        {"\xCA\xDF", "\x83\x70"},                 // ﾊﾟ -> パ
        {"\xB3\xDE", "\x83\x94"},                 // ｳﾞ -> ヴ
        {"\xDE", "\x81\x4A"},                     // lone ﾞ -> ゛
        {"\xDF", "\x81\x4B"},                     // lone ﾟ -> ゜
        {"\xB1\xDE", "\x83\x41\x81\x4A"},         // ｱﾞ has no voiced form: ア゛
        {"\xB6\xDF", "\x83\x4A\x81\x4B"},         // ｶﾟ: カ゜
        {"\xA1\xA2\xA3\xA4\xA5\xB0", "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5B"},  // ｡｢｣､･ｰ
        {"\xA6\xDD", "\x83\x92\x83\x93"},         // ｦﾝ
        {"a\x83\xB1" "b", "a\x83\xB1" "b"},       // 0xB1 as a second byte stays (ア's neighbour)
        {"\x95\x5C\xB1", "\x95\x5C\x83\x41"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Widen(c.half), c.full) << c.half;
}

TEST(SHanZenKana, SingleCharacterFormReportsWhatItConsumed) {
    SHanZenKana k;
    unsigned zen = 0;
    EXPECT_EQ(k.Han2Zen('A', '\xDE', &zen), 0);
    EXPECT_EQ(k.Han2Zen('\xB6', '\xDE', &zen), 3);
    EXPECT_EQ(zen, 0x4B83u);  // first byte low
    EXPECT_EQ(k.Han2Zen('\xCA', '\xDF', &zen), 2);
    EXPECT_EQ(zen, 0x7083u);
    EXPECT_EQ(k.Han2Zen('\xB6', 'x', &zen), 1);
    EXPECT_EQ(zen, 0x4A83u);
}

TEST(SHanZenKana, BufferFormStopsAtCharacterBoundaryWhenFull) {
    SHanZenKana k;
    char out[6];
    EXPECT_EQ(k.Han2Zen("\xB1\xB2\xB3", out, sizeof out), nullptr);
    EXPECT_STREQ(out, "\x83\x41\x83\x43");  // never half of a character
    char fits[7];
    EXPECT_EQ(k.Han2Zen("\xB1\xB2\xB3", fits, sizeof fits), fits);
    EXPECT_STREQ(fits, "\x83\x41\x83\x43\x83\x45");
}

TEST(SHanZenKana, FindsTheFirstRunOfHalfWidthKatakana) {
    SHanZenKana k;
    struct Case {
        const char* text;
        bool found;
        unsigned first;
        unsigned end;
    } cases[] = {
        {"ab\xB6\xDE\xB7x\xB1", true, 2, 5},
        {"\x83\xB1", false, static_cast<unsigned>(-1), 2},  // second byte of a kanji
        {"plain", false, static_cast<unsigned>(-1), 5},
        {"\xB1", true, 0, 1},
    };
    for (const Case& c : cases) {
        unsigned first = 7, end = 7;
        EXPECT_EQ(k.DoesExistHankaku(c.text, &first, &end), c.found) << c.text;
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
        EXPECT_EQ(k.DoesExistHankaku(c.text), c.found);
    }
}

TEST(SHanZenKana, NarrowsEveryWidenedLetterBack) {
    SHanZenKana k;
    for (int c = 0xA1; c <= 0xDF; ++c) {
        unsigned zen = 0;
        ASSERT_EQ(k.Han2Zen(static_cast<char>(c), 'x', &zen), 1);
        char letter = 0, mark = 1;
        ASSERT_EQ(k.Zen2Han(zen, &letter, &mark), 1) << c;
        EXPECT_EQ(static_cast<unsigned char>(letter), c);
        EXPECT_EQ(mark, 0);
    }
    char letter = 0, mark = 0;
    EXPECT_EQ(k.Zen2Han(0x4B83, &letter, &mark), 3);  // ガ
    EXPECT_EQ(static_cast<unsigned char>(letter), 0xB6);
    EXPECT_EQ(static_cast<unsigned char>(mark), 0xDE);
    EXPECT_EQ(k.Zen2Han(0x7C83, &letter, &mark), 2);  // ポ
    EXPECT_EQ(static_cast<unsigned char>(letter), 0xCE);
    EXPECT_EQ(static_cast<unsigned char>(mark), 0xDF);
    EXPECT_EQ(k.Zen2Han(0x3D49, &letter, &mark), 0);  // 表 has no half-width form
}

}  // namespace

#include <gtest/gtest.h>

#include "common/JString.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(JStringCompare, FoldsAsciiOnly) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"abc", "ABC", 0},
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"\x82\x60", "\x82\x81", -1},  // Ａ and ａ (full width) are not folded
        {"\x95\x5C" "A", "\x95\x5C" "a", 0},
        {"\x83\x41", "\x83\x61", -1},  // the trail byte 0x41 is not the letter A
        {"", "", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Sign(jstraicmp(c.a, c.b)), c.sign) << c.a << " / " << c.b;
    EXPECT_EQ(jstrnaicmp("HELLO world", "hello WORLD!", 11), 0);
    EXPECT_NE(jstrnaicmp("HELLO world", "hello WORLD!", 12), 0);
    EXPECT_EQ(jstrnaicmp("abc", "abd", 2), 0);
}

TEST(Stristr, FindsCaseInsensitiveMatchesOnCharacterBoundaries) {
    struct Case {
        const char* text;
        const char* pattern;
        int offset;  // -1: no match
    } cases[] = {
        {"xABC", "abc", 1},
        {"\x95\x5C" "\\", "\\", 2},             // not inside 表 (95 5C)
        {"\x83\x41" "A", "a", 2},               // 0x41 as a trail byte is not the letter A
        {"a\x83\x41", "\x83\x41", 1},
        {"\x83\x61", "\x83\x41", -1},           // double-byte characters compare exactly
        {"abc", "", 0},
        {"", "a", -1},
        {"ab\x82", "b", 1},                     // a lead byte at the very end
        {"ab\x82", "c", -1},
    };
    for (const Case& c : cases) {
        const char* hit = stristr(c.text, c.pattern);
        EXPECT_EQ(hit ? static_cast<int>(hit - c.text) : -1, c.offset) << c.text << " / " << c.pattern;
    }
}

TEST(StrStrAsWord, MatchesWholeWordsOnly) {
    struct Case {
        const char* text;
        const char* word;
        bool ignoreCase;
        int offset;
    } cases[] = {
        {"the cat sat", "cat", false, 4},
        {"concatenate cat", "cat", false, 12},  // first occurrence is inside a word
        {"Cat", "cat", false, -1},
        {"Cat", "cat", true, 0},
        {"cat5", "cat", false, 0},              // digits are not word characters
        {"cats", "cat", false, -1},
        {"\x82\xA0" "cat\x82\xA0", "cat", false, 2},  // next to double-byte characters
        {"x\x83\x41" "b", "\x83\x41" "b", false, 1},   // a word starting double-byte needs no break before
        {"xy\x83\x41", "y\x83\x41", false, -1},       // preceded by a letter
        {"a-b", "-", false, 1},                 // a word of non-word characters matches anywhere
        {"\x83\x41" "cat", "cat", false, 2},    // ア ends in 0x41, which is no letter here
    };
    for (const Case& c : cases) {
        const char* hit = StrStrAsWord(c.text, c.word, c.ignoreCase);
        EXPECT_EQ(hit ? static_cast<int>(hit - c.text) : -1, c.offset) << c.text << " / " << c.word;
    }
}

TEST(IsNeedMergeYen, AddsSeparatorUnlessThereIsOne) {
    EXPECT_FALSE(IsNeedMergeYen(""));
    EXPECT_FALSE(IsNeedMergeYen("/home/u/"));
    EXPECT_TRUE(IsNeedMergeYen("/home/u"));
    EXPECT_TRUE(IsNeedMergeYen("/home/\x95\x5C"));  // ends in 表, whose second byte is 0x5C
    EXPECT_TRUE(IsNeedMergeYen("C:"));
}

}  // namespace

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/SEscapeString.h"

namespace {

TEST(SEscapeString, EscapesStripsAndFindsUnescapedCharacters) {
    const SEscapeString esc('\\');
    std::string out;
    esc.MakeEscape("a\"b", out, "\"");
    EXPECT_EQ(out, "a\\\"b");
    std::string back;
    esc.Strip(out, back);
    EXPECT_EQ(back, "a\"b");
    // The IMAP4 quoting: backslash and double quote both escaped.
    esc.MakeEscape("C:\\x \"y\"", out, "\\\"");
    EXPECT_EQ(out, "C:\\\\x \\\"y\\\"");

    struct Case {
        const char* text;
        int offset;  // of the first unescaped quote, -1 for none
    } cases[] = {
        {"a\\\"b\"c", 4},
        {"a\\\\\"b", 3},   // two escapes: the quote is free
        {"a\\\\\\\"b", -1},  // three: escaped
        {"\"", 0},
        {"abc", -1},
        {"", -1},
    };
    for (const Case& c : cases) {
        const char* found = esc.StrChr(c.text, '"');
        EXPECT_EQ(found ? static_cast<int>(found - c.text) : -1, c.offset) << c.text;
    }
}

TEST(SEscapeString, FindStartsAtAnOffsetButKeepsTheEscapesBeforeIt) {
    const SEscapeString esc('\\');
    const std::string s = "\"a\\\"b\"c\"";
    EXPECT_EQ(esc.Find(s, '"', 0), 0);
    EXPECT_EQ(esc.Find(s, '"', 1), 5);  // the quote at 3 is escaped
    EXPECT_EQ(esc.Find(s, '"', 6), 7);
    EXPECT_EQ(esc.Find(s, '"', 8), -1);
    EXPECT_EQ(esc.Find(s, '"', 1000), -1);
}

TEST(SEscapeString, StripDropsATrailingEscape) {
    std::string out;
    SEscapeString('\\').Strip("abc\\", out);
    EXPECT_EQ(out, "abc");
    SJEscapeString('\\').Strip("\\\x95\x5C\\", out);
    EXPECT_EQ(out, "\x95\x5C");
}

TEST(SJEscapeString, NeverTakesASecondByteForASpecialCharacter) {
    // 表 (95 5C) and ソ (83 5C) end in the backslash byte.
    const std::string text = "\x95\x5C\"\x83\x5C";
    std::string out;
    SJEscapeString('\\').MakeEscape(text, out, "\\\"");
    EXPECT_EQ(out, "\x95\x5C\\\"\x83\x5C");
    SEscapeString('\\').MakeEscape(text, out, "\\\"");
    EXPECT_EQ(out, "\x95\\\x5C\\\"\x83\\\x5C") << "byte-wise escaping splits the characters";

    std::string stripped;
    SJEscapeString('\\').Strip("\x95\x5C\\\"", stripped);
    EXPECT_EQ(stripped, "\x95\x5C\"");

    const char* quoted = "\x95\x5C\"";
    EXPECT_EQ(SJEscapeString('\\').StrChr(quoted, '"'), quoted + 2);
    EXPECT_EQ(SEscapeString('\\').StrChr(quoted, '"'), nullptr);
    EXPECT_EQ(SJEscapeString('\\').Find(quoted, '"', 0), 2);
}

// Any Shift_JIS text with any of the specials comes back from MakeEscape
// followed by Strip, and every special in the escaped form is escaped.
TEST(SJEscapeString, EscapeThenStripGivesTheTextBack) {
    std::mt19937 rng(11);
    const char* pieces[] = {"\\", "\"", "a", " ", "\x95\x5C", "\x83\x5C", "\x82\xA0", "\x81\x40", "|", "\xB1"};
    const SJEscapeString esc('\\');
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n) text += pieces[rng() % 10];
        std::string escaped, back;
        esc.MakeEscape(text, escaped, "\\\"|");
        esc.Strip(escaped, back);
        ASSERT_EQ(back, text);
        ASSERT_EQ(esc.Find(escaped, '"', 0), -1) << escaped;
        ASSERT_EQ(esc.Find(escaped, '|', 0), -1) << escaped;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/SQuotedStr.h"
#include "common/SStrTok.h"

namespace {

std::vector<std::string> AllTokens(const char* text, const char* delimiters, bool quotes) {
    SConstStrTok tok(text);
    std::vector<std::string> out;
    while (const char* t = quotes ? tok.TokenQuote(delimiters) : tok.Token(delimiters)) out.push_back(t);
    return out;
}

using Tokens = std::vector<std::string>;

TEST(SStrTok, CutsTokensAtDelimitersByCharacters) {
    struct Case {
        const char* text;
        const char* delimiters;
        Tokens tokens;
    } cases[] = {
        {"To: a b", ": ", {"To", "a", "b"}},
        {"  ::a::  b  ", ": ", {"a", "b"}},
        {"", ": ", {}},
        {":::", ":", {}},
        {"abc", "", {"abc"}},
        // 表 is 95 5C: its second byte is no backslash delimiter.
        {"\x95\x5C\\x", "\\", {"\x95\x5C", "x"}},
        // The full-width space 81 40 is a delimiter only as a whole character,
        // and "@" (0x40) does not cut it.
        {"a\x81\x40" "b", "\x81\x40", {"a", "b"}},
        {"a\x81\x40" "b", "@", {"a\x81\x40" "b"}},
        // A first byte at the very end stands alone.
        {"ab \x82", " ", {"ab", "\x82"}},
    };
    for (const Case& c : cases) EXPECT_EQ(AllTokens(c.text, c.delimiters, false), c.tokens) << c.text;
}

TEST(SStrTok, TokenQuoteKeepsQuotedDelimitersAndTheQuotes) {
    struct Case {
        const char* text;
        Tokens tokens;
    } cases[] = {
        {"attachment; filename=\"a; b c.txt\"; size=3",
         {"attachment", "filename=\"a; b c.txt\"", "size=3"}},
        {"x=\"open; to the end", {"x=\"open; to the end"}},
        {"\"\";\"\"", {"\"\"", "\"\""}},
    };
    for (const Case& c : cases) EXPECT_EQ(AllTokens(c.text, "; ", true), c.tokens) << c.text;
}

TEST(SStrTok, CutsTheCallersTextInPlace) {
    char text[] = "Subject: hello world";
    SStrTok tok(text);
    EXPECT_EQ(std::string(tok.Token(": ")), "Subject");
    EXPECT_EQ(text[7], '\0');
    EXPECT_EQ(std::string(tok.Rest()), " hello world");
    SStrTok none(nullptr);
    EXPECT_EQ(none.Token(" "), nullptr);
}

TEST(SConstStrTok, WorksOnItsOwnCopy) {
    std::string source = "a b";
    SConstStrTok tok;
    tok.SetStr(source.c_str());
    source = "zzz";
    EXPECT_EQ(std::string(tok.Token(" ")), "a");
    tok.SetStr(nullptr);
    EXPECT_EQ(tok.Token(" "), nullptr);
    tok.SetStr("c d");
    EXPECT_EQ(std::string(tok.Token(" ")), "c");
    EXPECT_EQ(std::string(tok.Token(" ")), "d");
}

TEST(SQuotedStr, TakesTheTextBetweenTwoMarkers) {
    struct Case {
        const char* text;
        const char* open;
        const char* close;
        bool ignoreCase;
        bool found;
        std::string token;
        int start;
    } cases[] = {
        {"Taro <taro@example.jp>", "<", ">", false, true, "taro@example.jp", 6},
        {"X: BEGIN data END", "begin ", " end", true, true, "data", 9},
        {"X: BEGIN data END", "begin ", " end", false, false, "", -1},
        {"<open only", "<", ">", false, false, "", -1},
        {"no markers", "<", ">", false, false, "", -1},
        // The markers are never the second byte of a double-byte character.
        {"\x95\x5C\\a\\", "\\", "\\", false, true, "a", 3},
        {"[]", "[", "]", false, true, "", 1},
    };
    for (const Case& c : cases) {
        SQuotedStr q(c.text);
        std::string out = "stale";
        EXPECT_EQ(q.Token(out, c.open, c.close, c.ignoreCase), c.found) << c.text;
        EXPECT_EQ(out, c.token) << c.text;
        EXPECT_EQ(q.Start(), c.start) << c.text;
        if (c.found) {
            EXPECT_EQ(q.End(), c.start + static_cast<int>(c.token.size())) << c.text;
        }
    }
}

TEST(SQuotedEscStr, FindsUnescapedPairs) {
    SQuotedEscStr from("\"Taro \\\"T\\\" Yamada\" <taro@example.jp>");
    std::string out;
    ASSERT_TRUE(from.Token(out, '"', '"', '\\'));
    EXPECT_EQ(out, "Taro \\\"T\\\" Yamada");
    EXPECT_EQ(from.Start(), 1);
    ASSERT_TRUE(from.Token(out, '<', '>', '\\'));
    EXPECT_EQ(out, "taro@example.jp");
    EXPECT_FALSE(from.Token(out, '[', ']', '\\'));
    EXPECT_EQ(out, "");
    EXPECT_EQ(from.Start(), -1);

    SQuotedEscStr escapedOpen("\\<not> <yes>");
    ASSERT_TRUE(escapedOpen.Token(out, '<', '>', '\\'));
    EXPECT_EQ(out, "yes");
}

TEST(SQuotedEscStr, FindOutSideBalancesNestedPairs) {
    struct Case {
        const char* text;
        bool found;
        std::string token;
    } cases[] = {
        {"x (a(b)c) d", true, "a(b)c"},
        {"(a(b(c)))", true, "a(b(c))"},
        {"(a\\)b)", true, "a\\)b"},
        {"(a(b)", false, ""},
        {"no parens", false, ""},
        {"\\(x) (y)", true, "y"},
    };
    for (const Case& c : cases) {
        SQuotedEscStr q(c.text);
        std::string out;
        EXPECT_EQ(q.TokenOutSide(out, '(', ')', '\\'), c.found) << c.text;
        EXPECT_EQ(out, c.token) << c.text;
    }
}

TEST(SQuotedEscStr, FindFirstTakesTheEarlierCharacterAfterAPosition) {
    SQuotedEscStr q("a\\<b<c\"d>");
    char which = 0;
    EXPECT_EQ(q.FindFirst(0, '<', '"', '\\', &which), 4);
    EXPECT_EQ(which, '<');
    EXPECT_EQ(q.FindFirst(5, '<', '"', '\\', &which), 6);
    EXPECT_EQ(which, '"');
    EXPECT_EQ(q.FindFirst(7, '<', '"', '\\', &which), -1);
    // Starting right after an escape still sees the character as escaped.
    EXPECT_EQ(q.FindFirst(2, '<', '"', '\\', &which), 4);
}

TEST(SJQuotedEscStr, DoesNotTakeASecondByteForTheEscape) {
    // "表" <x>: the 5C of 表 would escape the closing quote if read byte-wise.
    const char* text = "\"\x95\x5C\" <x>";
    std::string out;
    SQuotedEscStr bytes(text);
    EXPECT_FALSE(bytes.Token(out, '"', '"', '\\'));
    SJQuotedEscStr chars(text);
    ASSERT_TRUE(chars.Token(out, '"', '"', '\\'));
    EXPECT_EQ(out, "\x95\x5C");
    EXPECT_EQ(chars.StrChrEsc(text + 1, '"', '\\'), text + 3);
}

TEST(SQuotedEscStr, LongHostileTextsEndQuickly) {
    const std::string opens(1 << 20, '(');
    const std::string escapes(1 << 20, '\\');
    const auto start = std::chrono::steady_clock::now();
    std::string out;
    SQuotedEscStr a(opens.c_str());
    EXPECT_FALSE(a.TokenOutSide(out, '(', ')', '\\'));
    // An even run of escapes leaves the quote after it unescaped; one more escapes it.
    SJQuotedEscStr even((escapes + "\"x\"").c_str());
    EXPECT_TRUE(even.Token(out, '"', '"', '\\'));
    EXPECT_EQ(out, "x");
    SJQuotedEscStr odd((escapes + "\\\"x\"").c_str());
    EXPECT_FALSE(odd.Token(out, '"', '"', '\\'));
    SQuotedStr c((opens + "<").c_str());
    EXPECT_FALSE(c.Token(out, "<", ">", false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

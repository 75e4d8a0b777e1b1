#include <gtest/gtest.h>

#include "filters/SSubsFrom.h"
#include "tests/address/AddressTestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::Utf8;

class SubsFrom : public addresstest::AliasHome {};

TEST_F(SubsFrom, LoadKeepsTheRulesBeforeTheFirstMissingOrEmptyText) {
    const struct {
        const char* ini;
        bool ok;
        std::vector<std::string> rules;  // "from>subs/opt"
    } cases[] = {
        {"", false, {}},
        {"[SubsFrom]\nNum=0\nFrom0=\"a\"\nSubs0=\"b\"\n", false, {}},
        {"[SubsFrom]\nNum=2\nFrom0=\"yamada@\"\nSubs0=\"山田さん\"\nOpt0=9\nFrom1=\" x \"\nSubs1=\"X\"\n",
         true,
         {"yamada@>山田さん/9", " x >X/4"}},
        {"[SubsFrom]\nNum=3\nFrom0=\"a\"\nSubs0=\"A\"\nFrom1=\"b\"\nSubs1=\"\"\nFrom2=\"c\"\nSubs2=\"C\"\n",
         false,
         {"a>A/4"}},
        {"[SubsFrom]\nNum=2\nFrom0=\"a\"\nSubs0=\"A\"\nSubs1=\"B\"\n", false, {"a>A/4"}},
        // A count far beyond the rules present stops at once.
        {"[SubsFrom]\nNum=2147483647\nFrom0=\"a\"\nSubs0=\"A\"\n", false, {"a>A/4"}},
    };
    for (const auto& c : cases) {
        WriteAliasIni(c.ini);
        SSubsFromArray rules;
        EXPECT_EQ(rules.Load(), c.ok) << c.ini;
        std::vector<std::string> got;
        for (const SSubsFrom& r : rules)
            got.push_back(Utf8(r.from) + ">" + Utf8(r.subs) + "/" + std::to_string(r.opt.GetAsInt()));
        EXPECT_EQ(got, c.rules) << c.ini;
    }
}

TEST_F(SubsFrom, TheFirstMatchingRuleGivesTheTextShown) {
    WriteAliasIni(
        "[SubsFrom]\nNum=4\n"
        "From0=\"Yamada\"\nSubs0=\"山田 (大小)\"\nOpt0=4\n"
        "From1=\"yamada\"\nSubs1=\"山田\"\nOpt1=0\n"
        "From2=\"ml\"\nSubs2=\"メーリングリスト\"\nOpt2=8\n"
        "From3=\"鈴木\"\nSubs3=\"部長\"\nOpt3=1\n");
    SSubsFromArray rules;
    ASSERT_TRUE(rules.Load());
    const struct {
        std::string from;
        std::string shown;
    } cases[] = {
        {"Taro Yamada <t@x>", "山田 (大小)"},  // both of the first two match: the earlier wins
        {"YAMADA <t@x>", "山田"},
        {"html@x", "html@x"},                  // not a whole word
        {"list-ml@x", "メーリングリスト"},
        {"鈴木 <s@x>", "部長"},
        {"Mr. 鈴木 <s@x>", "Mr. 鈴木 <s@x>"},  // at the start only
        {"nobody@x", "nobody@x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(rules.Substitute(Sjis(c.from))), c.shown) << c.from;

    WriteAliasIni("");
    SSubsFromArray none;
    EXPECT_FALSE(none.Load());
    EXPECT_EQ(none.Substitute("Taro Yamada <t@x>"), "Taro Yamada <t@x>");
}

TEST_F(SubsFrom, SaveWritesQuotedTextsAndOptionsAndRemovesRulesThatWent) {
    WriteAliasIni("[SubsFrom]\nNum=3\nFrom0=\"a\"\nSubs0=\"A\"\nOpt0=4\nFrom1=\"b\"\nSubs1=\"B\"\n"
                  "From2=\"c\"\nSubs2=\"C\"\nOpt2=0\n");
    SSubsFromArray rules;
    ASSERT_TRUE(rules.Load());
    rules.resize(2);
    rules[0] = {Sjis(" 山田 "), Sjis("やまだ"), {}};
    rules[0].opt.SetByInt(13);
    ASSERT_TRUE(rules.Save());
    EXPECT_EQ(AliasIniText(),
              "[SubsFrom]\nNum=2\nFrom0=\" 山田 \"\nSubs0=\"やまだ\"\nOpt0=13\nFrom1=\"b\"\nSubs1=\"B\"\nOpt1=4\n");
    SSubsFromArray back;
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back, rules);

    rules.clear();
    ASSERT_TRUE(rules.Save());
    EXPECT_EQ(AliasIniText(), "[SubsFrom]\nNum=0\n");
}

}  // namespace

#include <gtest/gtest.h>

#include "filters/SAMFProfile.h"
#include "platform/PrivateProfile.h"
#include "tests/app/AppTestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::Utf8;

class SortRuleSet : public qimtest::QimHomeTest {
protected:
    // `utf8` lines as the [QimMoveFiles] section of QIM.INI, Shift_JIS, CR LF.
    void WriteSection(const std::string& utf8) {
        std::string text = "[QimMoveFiles]\r\n";
        for (char c : Sjis(utf8)) {
            if (c == '\n') text += '\r';
            text += c;
        }
        qimtest::WriteFileBytes(Ini(), text);
        platform::FlushPrivateProfile(Ini().c_str());
    }
    std::string Key(const std::string& key) const { return Utf8(Stored(Ini(), "QimMoveFiles", key.c_str())); }
    // type/posType-as-int-form/pattern/destination/field, UTF-8.
    static std::string Describe(const SAutoMoveFilesData& r) {
        return std::to_string(r.headerType) + "/" + std::to_string(r.option.GetAsInt()) + "/" + Utf8(r.pattern) + "/" +
               Utf8(r.destination) + "/" + Utf8(r.fieldName);
    }
};

TEST(SortRuleSetNames, SectionsOfTheLocalAndServerSets) {
    EXPECT_EQ(AutoSortSection(SSortRuleSet::Local1), "QimMoveFiles");
    EXPECT_EQ(AutoSortSection(SSortRuleSet::Local2), "QimMoveFiles2");
    EXPECT_EQ(AutoSortSection(SSortRuleSet::Server1), "QimPMoveFiles");
    EXPECT_EQ(AutoSortSection(SSortRuleSet::Server2), "QimPMoveFiles2");
}

TEST(SortRuleSetNames, PosTypeInvertsTheStartAndCaseBits) {
    const struct {
        int posType;
        bool atStart, matchCase, wholeWord;
    } cases[] = {
        {0, true, true, false}, {1, false, true, false}, {4, true, false, false},
        {5, false, false, false}, {8, true, true, true}, {13, false, false, true},
        {2, true, true, false},  // the unused bit is dropped
    };
    for (const auto& c : cases) {
        const SFindOption option = OptionOfPosType(c.posType);
        EXPECT_EQ(option.AtLineStart, c.atStart) << c.posType;
        EXPECT_EQ(option.MatchCase, c.matchCase) << c.posType;
        EXPECT_EQ(option.WholeWord, c.wholeWord) << c.posType;
        EXPECT_EQ(PosTypeOfOption(option), c.posType & ~2) << c.posType;
    }
}

TEST_F(SortRuleSet, LoadKeepsTheRulesReadBeforeAFailure) {
    const struct {
        const char* section;
        bool ok;
        std::vector<std::string> rules;
    } cases[] = {
        {"", false, {}},
        {"Num=0\nHeaderType0=1\nPosType0=0\nIn0=\"a\"\nDest0=\"b\"\n", false, {}},
        {"Num=3\n"
         "HeaderType0=0\nPosType0=0\nIn0=\"yamada@\"\nDest0=\"仕事\"\n"
         "HeaderType1=1\nPosType1=13\nIn1=\" 会議 \"\nDest1=\".\\会議\"\n"
         "HeaderType2=7\nPosType2=5\nIn2=\"list\"\nDest2=\"ml\"\nHFName2=X-ML-Name\n",
         true,
         {"0/5/yamada@/仕事/", "1/8/ 会議 /.\\会議/", "3/0/list/ml/X-ML-Name"}},
        // A stored type above 3 is a named field, which then needs its name.
        {"Num=2\nHeaderType0=2\nPosType0=0\nIn0=\"b@\"\nDest0=\"x\"\n"
         "HeaderType1=7\nPosType1=0\nIn1=\"a\"\nDest1=\"y\"\n",
         false,
         {"2/5/b@/x/"}},
        // The third rule lacks its destination.
        {"Num=3\nHeaderType0=1\nPosType0=0\nIn0=\"a\"\nDest0=\"A\"\n"
         "HeaderType1=1\nPosType1=0\nIn1=\"b\"\nDest1=\"B\"\n"
         "HeaderType2=1\nPosType2=0\nIn2=\"c\"\n",
         false,
         {"1/5/a/A/", "1/5/b/B/"}},
        {"Num=2\nHeaderType0=1\nPosType0=0\nIn0=\"a\"\nDest0=\"A\"\nPosType1=0\nIn1=\"b\"\nDest1=\"B\"\n",
         false,
         {"1/5/a/A/"}},
        {"Num=1\nHeaderType0=1\nIn0=\"a\"\nDest0=\"A\"\n", false, {}},
        {"Num=1\nHeaderType0=1\nPosType0=-3\nIn0=\"a\"\nDest0=\"A\"\n", false, {}},
        {"Num=1\nHeaderType0=1\nPosType0=0\nIn0=\"\"\nDest0=\"A\"\n", false, {}},
        // A damaged count far beyond the rules stops at the first gap.
        {"Num=2147483647\nHeaderType0=1\nPosType0=0\nIn0=\"a\"\nDest0=\"A\"\n", false, {"1/5/a/A/"}},
    };
    for (const auto& c : cases) {
        WriteSection(c.section);
        SAMFProfile set(SSortRuleSet::Local1);
        EXPECT_EQ(set.Load(), c.ok) << c.section;
        std::vector<std::string> got;
        for (const SAutoMoveFilesData& r : set.rules) got.push_back(Describe(r));
        EXPECT_EQ(got, c.rules) << c.section;
    }
}

TEST_F(SortRuleSet, SaveWritesTheKeysAndDeletesThoseOfRulesNoLongerThere) {
    std::string five = "Num=5\n";
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i);
        five += "HeaderType" + n + "=3\nPosType" + n + "=0\nIn" + n + "=\"p" + n + "\"\nDest" + n + "=\"d" + n +
                "\"\nHFName" + n + "=X-F" + n + "\n";
    }
    WriteSection(five);
    SAMFProfile set(SSortRuleSet::Local1);
    SAutoMoveFilesData subject;
    subject.pattern = Sjis(" 【重要】");
    subject.destination = Sjis(".\\大切");
    subject.option.MatchCase = false;
    SAutoMoveFilesData field;
    field.headerType = kSortHeaderField;
    field.fieldName = "X-Mailing-List";
    field.pattern = "qim-users";
    field.destination = "ml/qim";
    field.option = {true, true, false};
    set.rules = {subject, field};
    ASSERT_TRUE(set.Save());

    EXPECT_EQ(Key("Num"), "2");
    EXPECT_EQ(Key("HeaderType0"), "1");
    EXPECT_EQ(Key("PosType0"), "4");
    EXPECT_EQ(Key("HFName0"), "<none>");  // the stale name of the old rule 0 went
    EXPECT_EQ(Key("PosType1"), "9");
    EXPECT_EQ(Key("HFName1"), "X-Mailing-List");
    for (int i = 2; i < 5; ++i)
        for (const char* prefix : {"HeaderType", "PosType", "In", "Dest", "HFName"})
            EXPECT_EQ(Key(prefix + std::to_string(i)), "<none>") << prefix << i;
    // The texts are stored between quotes, so the blank in front survives.
    const std::string file = Utf8(qimtest::ReadFileBytes(Ini()));
    EXPECT_NE(file.find("In0=\" 【重要】\"\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Dest1=\"ml/qim\"\r\n"), std::string::npos) << file;

    SAMFProfile again(SSortRuleSet::Local1);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.rules, set.rules);
}

TEST_F(SortRuleSet, TheTwoSetsAndTheServerSetsDoNotShareKeys) {
    SAMFProfile first(SSortRuleSet::Local1), second(SSortRuleSet::Local2), server(SSortRuleSet::Server1);
    SAutoMoveFilesData rule;
    rule.pattern = "a";
    rule.destination = "A";
    first.rules = {rule};
    rule.pattern = "b";
    second.rules = {rule, rule};
    ASSERT_TRUE(first.Save());
    ASSERT_TRUE(second.Save());
    ASSERT_TRUE(first.Load());
    ASSERT_TRUE(second.Load());
    EXPECT_EQ(first.rules.size(), 1u);
    EXPECT_EQ(second.rules.size(), 2u);
    EXPECT_FALSE(server.Load());
    EXPECT_EQ(Stored(Ini(), "QimMoveFiles2", "In0"), "b");
}

TEST(SortRuleStoredForm, TextsMustFitTheBuffersTheyAreReadWith) {
    SAutoMoveFilesData ok;
    ok.pattern = "a";
    ok.destination = "b";
    EXPECT_TRUE(ok.FitsStoredForm());
    const struct {
        const char* what;
        SAutoMoveFilesData rule;
    } bad[] = {
        {"empty text", {kSortHeaderSubject, "", "b", "", {}}},
        {"empty destination", {kSortHeaderSubject, "a", "", "", {}}},
        {"field without a name", {kSortHeaderField, "a", "b", "", {}}},
        {"too long", {kSortHeaderFrom, std::string(kSortValueMax + 1, 'x'), "b", "", {}}},
        {"line break", {kSortHeaderFrom, "a\nb", "b", "", {}}},
        {"unknown type", {9, "a", "b", "", {}}},
    };
    for (const auto& c : bad) EXPECT_FALSE(c.rule.FitsStoredForm()) << c.what;
    SAutoMoveFilesData longest = ok;
    longest.pattern.assign(kSortValueMax, 'x');
    EXPECT_TRUE(longest.FitsStoredForm());
}

TEST(SortDestination, ResolvedAgainstTheHomeDirectory) {
    const struct {
        const char* destination;
        const char* resolved;
    } cases[] = {
        {"", "/h/QimHome"},
        {".", "/h/QimHome/."},
        {".\\work", "/h/QimHome/work"},
        {"./work/2026", "/h/QimHome/work/2026"},
        {"work", "/h/QimHome/work"},
        {"..\\x", "/h/QimHome/..\\x"},  // only the leading ".\" is the old separator
        {"/srv/mail/archive", "/srv/mail/archive"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolveSortDestination("/h/QimHome", c.destination), c.resolved) << c.destination;
}

}  // namespace

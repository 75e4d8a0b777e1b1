#include <gtest/gtest.h>

#include "filters/SAMFProfile.h"
#include "filters/SAutoMoveFiles.h"
#include "platform/ScriptedDialogService.h"
#include "tests/filters/SortTestSupport.h"

namespace {

using qimtest::Sjis;
using storetest::ExpectCacheAgrees;
using Strings = std::vector<std::string>;

class SortRun : public sorttest::SortHome {
protected:
    void SetUp() override {
        sorttest::SortHome::SetUp();
        for (const char* name : {"work", "ml", "meetings"}) MakeFolder(name);
    }
    // Runs `rules` over `folder` to its end; the number of steps taken.
    int RunAll(const std::vector<SAutoMoveFilesData>& rules, const std::string& folder = std::string()) {
        if (!run.Start(home_, Folder(folder), rules)) return 0;
        int steps = 1;
        while (run.RunStep()) ++steps;
        return steps;
    }
    Strings Messages() const {
        Strings texts;
        for (const platform::RecordedBox& b : dialogs.Boxes()) texts.push_back(qimtest::Utf8(b.text));
        return texts;
    }
    void ExpectCachesAgree() {
        for (const char* name : {"", "work", "ml", "meetings"}) ExpectCacheAgrees(Folder(name));
    }

    platform::ScriptedDialogService dialogs;
    SAutoMoveFiles run{dialogs};
};

TEST_F(SortRun, EachRuleMovesWhatItMatchesAndTheCachesFollow) {
    Put("", "boss", {"From: Boss <boss@example.jp>", "To: me@example.jp", "Subject: status"});
    Put("", "minutes", {"From: a@example.jp", "To: me@example.jp",
                        "Subject: =?ISO-2022-JP?B?GyRCMnE1RCRONUQ7dk8/GyhC?="});  // 会議の議事録
    Put("", "list", {"From: a@example.jp", "To: qim-users@example.jp", "Subject: [qim] release",
                     "X-ML-Name: qim-users"});
    Put("", "other", {"From: c@example.jp", "To: me@example.jp", "Subject: hello"});
    Put("", "list2", {"From: d@example.jp", "To: me@example.jp", "Subject: again", "X-ml-name:   qim-users"});
    Put("", "boss2", {"From: BOSS@example.jp", "To: me@example.jp", "Subject: report"});
    Put("work", "old", {"From: x@example.jp", "Subject: old"});

    const std::vector<SAutoMoveFilesData> rules = {
        Rule(kSortHeaderFrom, "boss@", "work"),
        Rule(kSortHeaderSubject, Sjis("議事録"), ".\\meetings"),
        Rule(kSortHeaderField, "qim-users", "ml", "X-ML-Name"),
    };
    EXPECT_GT(RunAll(rules), 0);
    EXPECT_FALSE(run.Running());
    EXPECT_FALSE(run.Failed());
    EXPECT_EQ(Tags(""), Strings({"other"}));
    // Moved mails take the next numbers in the order they had.
    EXPECT_EQ(Tags("work"), Strings({"old", "boss", "boss2"}));
    EXPECT_EQ(Tags("meetings"), Strings({"minutes"}));
    EXPECT_EQ(Tags("ml"), Strings({"list", "list2"}));
    EXPECT_EQ(run.MovedPerRule(), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(run.TotalMoved(), 5);
    EXPECT_TRUE(dialogs.Boxes().empty());
    ExpectCachesAgree();
}

TEST_F(SortRun, EdgeCasesOfDestinationsAndOverlappingRules) {
    const struct {
        const char* what;
        std::vector<SAutoMoveFilesData> rules;
        Strings inbox, work, ml;
        Strings messages;
    } cases[] = {
        {"the destination is the folder itself",
         {Rule(kSortHeaderSubject, "a", ""), Rule(kSortHeaderSubject, "a", "."), Rule(kSortHeaderSubject, "b", "./")},
         {"a1", "a2", "b1"}, {}, {}, {}},
        {"two rules match a mail: the first moves it",
         {Rule(kSortHeaderSubject, "a", "work"), Rule(kSortHeaderFrom, "@example", "ml")},
         {}, {"a1", "a2"}, {"b1"}, {}},
        {"a missing destination is told and skipped, the next rule runs",
         {Rule(kSortHeaderSubject, "a", "nowhere"), Rule(kSortHeaderSubject, "a", "work")},
         {"b1"}, {"a1", "a2"}, {}, {"フォルダー nowhere が存在しません。スキップします。"}},
        {"nothing matches",
         {Rule(kSortHeaderTo, "nobody@", "work")},
         {"a1", "a2", "b1"}, {}, {}, {}},
        {"at the start only, letter case counts",
         {[] {
              SAutoMoveFilesData r = Rule(kSortHeaderSubject, "Sub", "work");
              r.option = {true, false, true};
              return r;
          }()},
         {"a1", "b1"}, {"a2"}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qimtest::TempDir fresh;
        home_ = fresh.Path();
        for (const char* name : {"work", "ml", "meetings"}) MakeFolder(name);
        dialogs.Clear();
        Put("", "a1", {"From: a@example.jp", "To: me@example.jp", "Subject: about a"});
        Put("", "a2", {"From: b@example.jp", "To: me@example.jp", "Subject: Sub a"});
        Put("", "b1", {"From: c@example.jp", "To: me@example.jp", "Subject: sub b"});
        RunAll(c.rules);
        EXPECT_EQ(Tags(""), c.inbox);
        EXPECT_EQ(Tags("work"), c.work);
        EXPECT_EQ(Tags("ml"), c.ml);
        EXPECT_EQ(Messages(), c.messages);
        ExpectCachesAgree();
    }
}

TEST_F(SortRun, ARuleSetCutShortByAMissingKeyRunsTheRulesItHas) {
    Put("", "a", {"From: a@example.jp", "Subject: alpha"});
    Put("", "b", {"From: b@example.jp", "Subject: beta"});
    Put("", "c", {"From: c@example.jp", "Subject: gamma"});
    const std::string section =
        "[QimMoveFiles]\r\nNum=3\r\n"
        "HeaderType0=1\r\nPosType0=0\r\nIn0=\"alpha\"\r\nDest0=\"work\"\r\n"
        "HeaderType1=0\r\nPosType1=5\r\nIn1=\"B@\"\r\nDest1=\"ml\"\r\n"
        "HeaderType2=1\r\nPosType2=0\r\nIn2=\"gamma\"\r\n";
    qimtest::WriteFileBytes(Ini(), section);
    platform::FlushPrivateProfile(Ini().c_str());
    SAMFProfile set(SSortRuleSet::Local1);
    EXPECT_FALSE(set.Load());
    ASSERT_EQ(set.rules.size(), 2u);
    RunAll(set.rules);
    EXPECT_EQ(Tags(""), Strings({"c"}));
    EXPECT_EQ(Tags("work"), Strings({"a"}));
    EXPECT_EQ(Tags("ml"), Strings({"b"}));
}

TEST_F(SortRun, StepsFollowTheDocumentedChainAndShowTheMarks) {
    for (int i = 0; i < 3; ++i) Put("", "x" + std::to_string(i), {"From: x@example.jp", "Subject: x"});
    Put("", "y", {"From: y@example.jp", "Subject: y"});
    std::vector<std::vector<int>> marks;
    run.onMarked = [&](const std::vector<int>& numbers) { marks.push_back(numbers); };
    ASSERT_TRUE(run.Start(home_, home_, {Rule(kSortHeaderSubject, "x", "nowhere"), Rule(kSortHeaderFrom, "y@", "work")}));
    std::vector<SAutoMoveFiles::Step> steps;
    do steps.push_back(run.CurrentStep());
    while (run.RunStep());
    using S = SAutoMoveFiles::Step;
    EXPECT_EQ(steps, (std::vector<S>{S::Clear, S::Mark, S::Check, S::Next, S::Clear, S::Mark, S::Check, S::Move,
                                     S::Next, S::End}));
    // Cleared, marked, cleared again as the rule is skipped; then the second rule.
    EXPECT_EQ(marks, (std::vector<std::vector<int>>{{}, {1, 2, 3}, {}, {}, {4}}));
    EXPECT_EQ(Tags("work"), Strings({"y"}));
}

TEST_F(SortRun, AFieldSearchRunsInStepsOverALargeFolder) {
    const int count = static_cast<int>(SAutoMoveFiles::kFieldSearchChunk) * 2 + 7;
    for (int i = 0; i < count; ++i)
        Put("", "m" + std::to_string(i),
            {"From: a@example.jp", "Subject: s", i % 50 == 0 ? "X-Spam-Flag: YES" : "X-Spam-Flag: NO"});
    ASSERT_TRUE(run.Start(home_, home_, {Rule(kSortHeaderField, "YES", "work", "X-Spam-Flag:")}));
    int markSteps = 0;
    do
        if (run.CurrentStep() == SAutoMoveFiles::Step::Mark) ++markSteps;
    while (run.RunStep());
    EXPECT_EQ(markSteps, 3);
    EXPECT_EQ(Tags("work").size(), static_cast<std::size_t>((count + 49) / 50));
    EXPECT_EQ(Tags("").size(), static_cast<std::size_t>(count - (count + 49) / 50));
    ExpectCachesAgree();
}

TEST_F(SortRun, ARunCutShortLosesNothingAndARerunCarriesOn) {
    for (int i = 0; i < 6; ++i)
        Put("", "m" + std::to_string(i), {"From: a@example.jp", i % 2 ? "Subject: odd" : "Subject: even"});
    // The inbox's cache as it was before the run: as if the program had
    // stopped after the mails moved but before the inbox's cache was written.
    const std::string cache = Folder("") + "/HCACHE.TXT";
    const std::string before = qimtest::ReadFileBytes(cache);
    RunAll({Rule(kSortHeaderSubject, "odd", "work")});
    qimtest::WriteFileBytes(cache, before);
    RunAll({Rule(kSortHeaderSubject, "odd", "work"), Rule(kSortHeaderSubject, "even", "ml")});
    EXPECT_EQ(Tags(""), Strings());
    EXPECT_EQ(Tags("work"), Strings({"m1", "m3", "m5"}));
    EXPECT_EQ(Tags("ml"), Strings({"m0", "m2", "m4"}));
    ExpectCachesAgree();
}

TEST_F(SortRun, AMoveThatLeavesMailBehindEndsTheRun) {
    Put("", "a", {"From: a@example.jp", "Subject: a"});
    Put("", "b", {"From: b@example.jp", "Subject: b"});
    run.move = [](SMemCacheFolder&, const std::vector<int>&, const std::string&) { return std::vector<int>(); };
    bool ended = false;
    run.onEnded = [&] { ended = true; };
    RunAll({Rule(kSortHeaderSubject, "a", "work"), Rule(kSortHeaderSubject, "b", "ml")});
    EXPECT_TRUE(run.Failed());
    EXPECT_TRUE(ended);
    EXPECT_EQ(run.MovedPerRule(), (std::vector<int>{0, 0}));
    EXPECT_EQ(Tags(""), Strings({"a", "b"}));
}

TEST_F(SortRun, ANewRunReplacesTheOneGoing) {
    Put("", "a", {"From: a@example.jp", "Subject: a"});
    ASSERT_TRUE(run.Start(home_, home_, {Rule(kSortHeaderSubject, "a", "ml")}));
    run.RunStep();
    const unsigned first = run.Generation();
    EXPECT_EQ(RunAll({Rule(kSortHeaderSubject, "a", "work")}) > 0, true);
    EXPECT_NE(run.Generation(), first);
    EXPECT_EQ(Tags("work"), Strings({"a"}));
    EXPECT_EQ(Tags("ml"), Strings());
    EXPECT_FALSE(run.Start(home_, home_, {}));
    EXPECT_FALSE(run.Running());
}

}  // namespace

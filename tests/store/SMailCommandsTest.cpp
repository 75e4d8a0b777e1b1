#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "StoreTestSupport.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/ScriptedDialogService.h"
#include "store/QimStoreCodes.h"
#include "store/SMailCommands.h"
#include "store/SGetRecvFileName.h"
#include "support/TestSupport.h"

namespace {

using namespace qimstore;
using platform::MessageAnswer;
using platform::RecordedBox;
using qimtest::FileExists;
using qimtest::Sjis;
using qimtest::TempDir;
using storetest::ExpectCacheAgrees;
using storetest::WriteMails;

using Fixture = storetest::CommandsFixture<SMailCommands>;

// Fails the k-th (from 1) rename or bring, as a full disk or a vanished
// folder would.
class FailingCommands : public SMailCommands {
public:
    FailingCommands(platform::DialogService& d, int failAt) : SMailCommands(d), failAt_(failAt) {}

protected:
    bool RenameMail(const std::string& from, const std::string& to) override {
        return ++calls_ != failAt_ && SMailCommands::RenameMail(from, to);
    }
    bool BringMail(SQimCacheFolder& destination, const std::string& source) override {
        return ++calls_ != failAt_ && SMailCommands::BringMail(destination, source);
    }

private:
    int failAt_;
    int calls_ = 0;
};

std::string SubjectOf(const std::string& folder, int number) {
    SHeaderData d;
    SQimCacheFolder::ReadHeaderData((folder + "/" + std::to_string(number)).c_str(), d);
    return d.subject;
}

TEST(MoveMails, LastSelectedArrivesFirstWithItsMarks) {
    TempDir src, dst;
    WriteMails(src.Path(), {5, 8, 9, 10});
    WriteMails(dst.Path(), {20});
    chmod(src.File("8").c_str(), 0544);  // read and important
    Fixture f;
    SMemCacheFolder shown(src.Path());
    EXPECT_EQ(f.commands.MoveMails(shown, {5, 8, 9}, dst.Path()), (std::vector<int>{9, 8, 5}));
    EXPECT_EQ(SubjectOf(dst.Path(), 21), "s9");
    EXPECT_EQ(SubjectOf(dst.Path(), 22), "s8");
    EXPECT_EQ(SubjectOf(dst.Path(), 23), "s5");
    EXPECT_EQ(SQimFolder(dst.Path()).GetMarks(22), kMarkRead | kMarkImportant);
    EXPECT_EQ(shown.Count(), 1);
    ExpectCacheAgrees(src.Path());
    ExpectCacheAgrees(dst.Path());
    EXPECT_TRUE(f.Texts().empty());
}

TEST(MoveMails, FailureHalfWayKeepsEarlierMovesAndBothCachesInLine) {
    TempDir src, dst;
    WriteMails(src.Path(), {1, 2, 3, 4});
    Fixture f;
    FailingCommands commands(f.dialogs, 3);
    SMemCacheFolder shown(src.Path());
    EXPECT_EQ(commands.MoveMails(shown, {1, 2, 3, 4}, dst.Path()), (std::vector<int>{4, 3}));
    EXPECT_EQ(f.Texts(), std::vector<std::string>{LoadQimString(qimstr::CannotMove)});
    EXPECT_EQ(storetest::SubjectsByNumber(src.Path()), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(storetest::SubjectsByNumber(dst.Path()), (std::vector<std::string>{"s4", "s3"}));
    ExpectCacheAgrees(src.Path());
    ExpectCacheAgrees(dst.Path());
}

TEST(MoveMails, RefusalsMoveNothing) {
    TempDir src;
    WriteMails(src.Path(), {1, 2});
    symlink(src.Path().c_str(), (src.Path() + ".link").c_str());
    TempDir blocked;  // its cache cannot be opened
    mkdir(blocked.File("HCACHE.TXT").c_str(), 0755);
    qimtest::WriteFileBytes(blocked.File("HCACHE.TXT/x"), "x");
    struct Case {
        std::string destination;
        std::string message;
    } cases[] = {
        {src.File("nowhere"),
         Sjis("移動先 \"") + src.File("nowhere") + Sjis("\" が見つかりません。中止します。")},
        {src.Path() + "/", LoadQimString(qimstr::MoveSameFolder)},
        {src.Path() + ".link", LoadQimString(qimstr::MoveSameFolder)},  // the same folder by another name
        {blocked.Path(), Sjis("キャッシュファイルがオープンできませんでした。中止します。")},
    };
    for (const Case& c : cases) {
        Fixture f;
        SMemCacheFolder shown(src.Path());
        EXPECT_TRUE(f.commands.MoveMails(shown, {1, 2}, c.destination).empty());
        EXPECT_EQ(f.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(shown.Count(), 2);
    }
    unlink((src.Path() + ".link").c_str());
    EXPECT_EQ(SQimFolder(src.Path()).MailNumbers(), (std::vector<int>{1, 2}));
}

TEST(MoveMails, MailDeletedBehindTheProgramsBackLosesItsRecord) {
    TempDir src, dst;
    WriteMails(src.Path(), {1, 2, 3});
    Fixture f;
    SMemCacheFolder shown(src.Path());
    std::remove(src.File("2").c_str());
    EXPECT_EQ(f.commands.MoveMails(shown, {1, 2, 3}, dst.Path()), (std::vector<int>{3, 1}));
    EXPECT_TRUE(f.Texts().empty());
    ExpectCacheAgrees(src.Path());
    ExpectCacheAgrees(dst.Path());
}

TEST(MoveMails, MarksSurviveACopyByCp) {
    TempDir src, dst;
    WriteMails(src.Path(), {1, 2});
    SQimFolder folder(src.Path());
    ASSERT_TRUE(folder.SetMarks(1, kMarkRead | kMarkImportant));
    ASSERT_TRUE(folder.ClearMarks(2, kMarkRead | kMarkImportant));
    int status = -1;
    qimtest::RunCommand("cp -a '" + src.Path() + "/.' '" + dst.Path() + "/'", &status);
    ASSERT_EQ(status, 0);
    SQimFolder copy(dst.Path());
    EXPECT_EQ(copy.GetMarks(1), kMarkRead | kMarkImportant);
    EXPECT_EQ(copy.GetMarks(2), kMarkNone);
}

TEST(ImportFiles, CopiesAsNewUnmarkedMailAfterTheHighestNumber) {
    TempDir inbox, outside;
    WriteMails(inbox.Path(), {4});
    storetest::WriteMail(outside.Path(), 1, storetest::Mail("first"));
    qimtest::WriteFileBytes(outside.File("note.eml"), storetest::Mail("second"));
    chmod(outside.File("1").c_str(), 0544);
    Fixture f;
    f.dialogs.AnswerFile({outside.File("1"), outside.File("note.eml")});
    EXPECT_EQ(f.commands.ImportWithDialog(inbox.Path()), 5);
    ASSERT_EQ(f.dialogs.Boxes().size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes()[0].file.title, Sjis("ﾌｧｲﾙの選択"));
    EXPECT_TRUE(f.dialogs.Boxes()[0].file.multiSelect);
    SQimFolder box(inbox.Path());
    EXPECT_EQ(SubjectOf(inbox.Path(), 5), "first");
    EXPECT_EQ(SubjectOf(inbox.Path(), 6), "second");
    EXPECT_EQ(box.GetMarks(5), kMarkNone);
    EXPECT_EQ(box.GetMarks(6), kMarkNone);
    EXPECT_EQ(qimtest::FileMode(outside.File("1")), 0544u);  // the originals stay as they were
    ExpectCacheAgrees(inbox.Path());
    // A folder that is not a mail folder is not given a cache.
    EXPECT_FALSE(FileExists(outside.File("HCACHE.TXT")));
}

TEST(ImportFiles, FromTheInboxItselfAsksFirst) {
    TempDir inbox;
    WriteMails(inbox.Path(), {1});
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        Fixture f;
        f.dialogs.AnswerMessage(answer);
        const int first = f.commands.ImportFiles(inbox.Path(), {inbox.File("1")});
        ASSERT_EQ(f.dialogs.Boxes().size(), 1u);
        EXPECT_EQ(f.dialogs.Boxes()[0].text, LoadQimString(qimstr::ImportSameFolder));
        EXPECT_EQ(f.dialogs.Boxes()[0].defaultButton, 1);
        EXPECT_EQ(first, answer == MessageAnswer::Yes ? 2 : 0);
    }
    EXPECT_EQ(storetest::SubjectsByNumber(inbox.Path()), (std::vector<std::string>{"s1", "s1"}));
}

TEST(ImportFiles, StopsAtAFileThatCannotBeCopied) {
    TempDir inbox, outside;
    WriteMails(outside.Path(), {1, 3});
    Fixture f;
    EXPECT_EQ(f.commands.ImportFiles(inbox.Path(), {outside.File("1"), outside.File("2"), outside.File("3")}), 1);
    EXPECT_EQ(f.Texts(), std::vector<std::string>{LoadQimString(qimstr::CannotMove)});
    EXPECT_EQ(storetest::SubjectsByNumber(inbox.Path()), (std::vector<std::string>{"s1"}));
    ExpectCacheAgrees(inbox.Path());
}

TEST(ImportFiles, NoNumberLeftCopiesNothing) {
    TempDir inbox, outside;
    WriteMails(outside.Path(), {1});
    qimtest::WriteFileBytes(inbox.File("99999999999"), "x");  // beyond the largest mail number
    Fixture f;
    EXPECT_EQ(f.commands.ImportFiles(inbox.Path(), {outside.File("1")}), 0);
    EXPECT_EQ(f.Texts(), std::vector<std::string>{LoadQimString(qimstr::CannotMove)});
    EXPECT_TRUE(SQimFolder(inbox.Path()).MailNumbers().empty());
}

TEST(DeleteMails, AnswersDecidePerMail) {
    TempDir dir;
    WriteMails(dir.Path(), {1, 2, 3, 4, 5});
    chmod(dir.File("4").c_str(), 0444);  // important
    chmod(dir.File("2").c_str(), 0444);
    Fixture f;
    std::vector<std::pair<int, bool>> asked;  // number, "all" offered
    std::vector<SDeleteAnswer> answers = {
        SDeleteAnswer::No,                        // 5 stays
        SDeleteAnswer::Yes, SDeleteAnswer::Yes,   // 4, then yes to "important"
        SDeleteAnswer::All,                       // 3, then "all" confirmed
        SDeleteAnswer::No,                        // 2 is important: no keeps it
    };
    f.commands.SetDeleteConfirmation([&](const SQimMailData& mail, const std::string& question, bool offerAll) {
        asked.emplace_back(mail.number, offerAll);
        EXPECT_EQ(question, LoadQimString(offerAll ? qimstr::DeleteThisMail : qimstr::DeleteImportantMail));
        EXPECT_EQ(mail.header.subject, storetest::Subject(mail.number));
        SDeleteAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
    f.dialogs.AnswerMessage(MessageAnswer::Yes);
    SMemCacheFolder shown(dir.Path());
    EXPECT_EQ(f.commands.DeleteMails(shown, {1, 2, 3, 4, 5}), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(asked, (std::vector<std::pair<int, bool>>{{5, true}, {4, true}, {4, false}, {3, true}, {2, false}}));
    EXPECT_EQ(f.Texts(), std::vector<std::string>{LoadQimString(qimstr::DeleteAllSelected)});
    EXPECT_EQ(SQimFolder(dir.Path()).MailNumbers(), (std::vector<int>{2, 5}));
    ExpectCacheAgrees(dir.Path());
}

TEST(DeleteMails, CancelAndRefusedAllStop) {
    for (SDeleteAnswer first : {SDeleteAnswer::Cancel, SDeleteAnswer::All}) {
        TempDir dir;
        WriteMails(dir.Path(), {1, 2});
        Fixture f;
        f.commands.SetDeleteConfirmation([&](const SQimMailData&, const std::string&, bool) { return first; });
        f.dialogs.AnswerMessage(MessageAnswer::No);  // to "all"
        SMemCacheFolder shown(dir.Path());
        EXPECT_TRUE(f.commands.DeleteMails(shown, {1, 2}).empty());
        EXPECT_EQ(SQimFolder(dir.Path()).MailNumbers(), (std::vector<int>{1, 2}));
    }
}

TEST(DeleteMails, WithoutTheWindowsDialogAYesNoCancelBoxAsks) {
    TempDir dir;
    WriteMails(dir.Path(), {1, 2});
    SMemCacheFolder shown(dir.Path());
    std::remove(dir.File("1").c_str());  // gone already: its record goes quietly
    Fixture f;
    f.dialogs.AnswerMessage(MessageAnswer::Yes);
    f.dialogs.AnswerMessage(MessageAnswer::Yes);
    ASSERT_EQ(shown.Count(), 2);
    EXPECT_EQ(f.commands.DeleteMails(shown, {1, 2}), (std::vector<int>{2, 1}));
    ASSERT_EQ(f.dialogs.Boxes().size(), 2u);
    EXPECT_EQ(f.dialogs.Boxes()[0].buttons, platform::MessageButtons::YesNoCancel);
    EXPECT_EQ(shown.Count(), 0);
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("HCACHE.TXT")), "");
}

TEST(MarkMails, EachKindSetsOrClearsItsMark) {
    TempDir dir;
    WriteMails(dir.Path(), {1, 2});
    SQimFolder folder(dir.Path());
    folder.ClearMarks(1, kMarkRead | kMarkImportant);
    folder.ClearMarks(2, kMarkRead | kMarkImportant);
    Fixture f;
    EXPECT_TRUE(f.commands.MarkMails(folder, {}, SMarkKind::Read).empty());
    EXPECT_EQ(f.commands.MarkMails(folder, {1, 2}, SMarkKind::Read), (std::vector<int>{2, 1}));
    EXPECT_EQ(folder.GetMarks(1), kMarkRead);
    EXPECT_EQ(f.commands.MarkMails(folder, {2}, SMarkKind::Unread), (std::vector<int>{2}));
    EXPECT_EQ(f.commands.MarkMails(folder, {2}, SMarkKind::Important), (std::vector<int>{2}));
    EXPECT_EQ(folder.GetMarks(2), kMarkImportant);
    EXPECT_EQ(f.commands.MarkMails(folder, {3, 1}, SMarkKind::Important), (std::vector<int>{1}));
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{LoadQimString(qimstr::SelectMailToMark),
                                                   LoadQimString(qimstr::MarkedImportant),
                                                   Sjis("属性の変更が出来ませんでした(2)。中止します。"),
                                                   LoadQimString(qimstr::Aborting)}));
}

TEST(Renumbering, CloseGapsKeepsTheOrder) {
    TempDir dir;
    WriteMails(dir.Path(), {2, 5, 9});
    Fixture f;
    SMemCacheFolder shown(dir.Path());
    EXPECT_TRUE(f.commands.CloseGaps(shown));
    EXPECT_EQ(SubjectOf(dir.Path(), 1), "s2");
    EXPECT_EQ(SubjectOf(dir.Path(), 2), "s5");
    EXPECT_EQ(SubjectOf(dir.Path(), 3), "s9");
    EXPECT_EQ(shown.Count(), 3);
    ExpectCacheAgrees(dir.Path());

    // Nothing to close: nothing moves and the cache is not rebuilt.
    qimtest::WriteFileBytes(dir.File("HCACHE.TXT"), "kept as it is");
    EXPECT_FALSE(f.commands.CloseGaps(shown));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("HCACHE.TXT")), "kept as it is");
}

TEST(Renumbering, CloseGapsStopsAtATakenName) {
    TempDir dir;
    WriteMails(dir.Path(), {5, 9});
    mkdir(dir.File("2").c_str(), 0755);  // a folder with a number name
    Fixture f;
    SMemCacheFolder shown(dir.Path());
    EXPECT_TRUE(f.commands.CloseGaps(shown));
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{Sjis("ファイル名を 2 に変更しようとしましたが、既に同名のファイルまたはフォルダーが存在します。"),
                                                   LoadQimString(qimstr::CannotRenameFile)}));
    EXPECT_EQ(SQimFolder(dir.Path()).MailNumbers(), (std::vector<int>{1, 9}));
    ExpectCacheAgrees(dir.Path());
}

TEST(Renumbering, ByDateEndsOneToNOldestFirst) {
    TempDir dir;
    storetest::WriteMail(dir.Path(), 3, storetest::Mail("c", "Sat, 01 Jan 2000 00:00:00 +0900"));
    storetest::WriteMail(dir.Path(), 7, storetest::Mail("a", "Fri, 31 Dec 1999 10:00:00 +0900"));
    storetest::WriteMail(dir.Path(), 8, storetest::Mail("b", "Fri, 31 Dec 1999 10:00:00 +0900"));
    storetest::WriteMail(dir.Path(), 9, storetest::Mail("d", "Mon, 02 Jan 2006 00:00:00 +0900"));
    chmod(dir.File("9").c_str(), 0544);
    Fixture f;
    SMemCacheFolder shown(dir.Path());
    EXPECT_TRUE(f.commands.RenumberByDate(shown));
    EXPECT_EQ(storetest::SubjectsByNumber(dir.Path()), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SQimFolder(dir.Path()).MailNumbers(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(SQimFolder(dir.Path()).GetMarks(4), kMarkRead | kMarkImportant);
    ExpectCacheAgrees(dir.Path());
    EXPECT_TRUE(f.Texts().empty());
}

TEST(Renumbering, InterruptedByDateLosesNoMail) {
    for (int failAt = 1; failAt <= 5; ++failAt) {
        TempDir dir;
        for (int n : {2, 4, 6, 8}) {
            storetest::WriteMail(dir.Path(), n,
                                 storetest::Mail(storetest::Subject(n),
                                                 "Mon, 0" + std::to_string(9 - n) + " Jan 2001 00:00:00 +0900"));
        }
        mkdir(dir.File("3").c_str(), 0755);
        Fixture f;
        FailingCommands commands(f.dialogs, failAt);
        SMemCacheFolder shown(dir.Path());
        commands.RenumberByDate(shown);
        std::vector<std::string> subjects = storetest::SubjectsByNumber(dir.Path());
        std::sort(subjects.begin(), subjects.end());
        EXPECT_EQ(subjects, (std::vector<std::string>{"s2", "s4", "s6", "s8"})) << failAt;
        ExpectCacheAgrees(dir.Path());
    }
}

// A renumbering that dies halfway (the kill test found it) must not leave a
// cache that lists numbers already gone: the next opening would show rows
// without mails. At the second rename, where a kill could come, the cache
// lists nothing that is not there.
TEST(Renumbering, HalfwayNoCacheListsAMailAlreadyGone) {
    class Watching : public SMailCommands {
    public:
        Watching(platform::DialogService& d, std::string folder) : SMailCommands(d), folder_(std::move(folder)) {}
        std::vector<int> stale;
        int renames = 0;

    protected:
        bool RenameMail(const std::string& from, const std::string& to) override {
            if (++renames == 2) {
                const std::string cache = qimtest::ReadFileBytes(folder_ + "/HCACHE.TXT");
                std::vector<SQimMailData> records;
                SMemCacheFolder::ParseRecords(cache.data(), cache.size(), records);
                for (const SQimMailData& r : records)
                    if (!SQimFolder(folder_).MailExists(r.number)) stale.push_back(r.number);
            }
            return SMailCommands::RenameMail(from, to);
        }

    private:
        std::string folder_;
    };
    for (const bool byDate : {false, true}) {
        TempDir dir;
        for (int n : {2, 4, 6, 8})
            storetest::WriteMail(dir.Path(), n, storetest::Mail(storetest::Subject(n), "Mon, 0" + std::to_string(9 - n) +
                                                                                           " Jan 2001 00:00:00 +0900"));
        Fixture f;
        Watching commands(f.dialogs, dir.Path());
        SMemCacheFolder shown(dir.Path());
        EXPECT_TRUE(byDate ? commands.RenumberByDate(shown) : commands.CloseGaps(shown));
        EXPECT_GE(commands.renames, 2) << byDate;
        EXPECT_EQ(commands.stale, std::vector<int>{}) << byDate;
        ExpectCacheAgrees(dir.Path());
    }
}

TEST(StoreNewMail, ReceiveAndStoreClearTheReadMark) {
    TempDir home;
    WriteMails(home.Path(), {1});
    mkdir(home.File("sent").c_str(), 0755);
    Fixture f;
    const std::string path = f.commands.StoreMail(home.Path(), "sent", [](const std::string& p) {
        qimtest::WriteFileBytes(p, storetest::Mail("stored"));
        chmod(p.c_str(), 0744);
        return true;
    });
    EXPECT_EQ(path, home.File("sent/1"));
    EXPECT_EQ(SQimFolder(home.File("sent")).GetMarks(1), kMarkNone);
    ExpectCacheAgrees(home.File("sent"));

    SGetRecvFileName names(home.Path());
    EXPECT_FALSE(f.commands.FinishReceive(home.Path(), 2));
    for (int i = 0; i < 2; ++i) {
        const std::string p = names.Next();
        qimtest::WriteFileBytes(p, storetest::Mail("new"));
        chmod(p.c_str(), 0744);
    }
    EXPECT_EQ(names.Counter(), 3);
    EXPECT_TRUE(f.commands.FinishReceive(home.Path(), 2));
    SQimFolder box(home.Path());
    EXPECT_EQ(box.GetMarks(2), kMarkNone);
    EXPECT_EQ(box.GetMarks(3), kMarkNone);
    ExpectCacheAgrees(home.Path());
}

}  // namespace

// qimcmd::ArchiveFolder from the main window: served on the shown folder
// (not while a receive writes into it), asks the name in an input box, shows
// its progress, and leaves the list showing what the folder now holds.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <filesystem>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TArchiveProgressDlg.h"
#include "ui/THeaderListModel.h"
#include "ui/TQimWindow.h"

namespace {

using qimtest::Sjis;

class ArchiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(home_.Path());
        SetQimIniPath(home_.File("QIM.INI"));
        std::filesystem::create_directory(home_.File("box"));
        storetest::WriteMails(home_.Path(), {1, 2});
        storetest::WriteMails(home_.File("box"), {1, 2, 3});
    }
    void TearDown() override { ResetQimProcessValues(); }
    qimtest::TempDir home_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
};

TEST_F(ArchiveWindow, ArchivesTheShownFolderUnderTheTypedNameAndEmptiesItsList) {
    TQimWindow w(home_.Path());
    w.show();
    w.ShowFolder(home_.File("box"));
    ASSERT_EQ(w.Model()->rowCount(), 3);
    EXPECT_TRUE(w.Commands().IsEnabled(qimcmd::ArchiveFolder));
    dialogs_.AnswerInput(std::string("old mails"));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::ArchiveFolder));
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(dialogs_.Boxes()[0].kind, platform::RecordedBox::Kind::Input);
    EXPECT_EQ(dialogs_.Boxes()[0].text, Sjis("書庫ファイル名:"));
    EXPECT_EQ(dialogs_.Boxes()[0].caption, "Qim");
    EXPECT_TRUE(qimtest::FileExists(home_.File("box/old mails.LZH")));
    for (const char* mail : {"1", "2", "3"}) EXPECT_FALSE(qimtest::FileExists(home_.File("box/") + mail)) << mail;
    EXPECT_EQ(w.Model()->rowCount(), 0);
    // The inbox is untouched, and while a receive writes into it the command waits.
    w.ShowFolder(home_.Path());
    EXPECT_EQ(w.Model()->rowCount(), 2);
    w.BeginReceive();
    EXPECT_FALSE(w.Commands().IsEnabled(qimcmd::ArchiveFolder));
    w.ReceiveEnded(false);
    EXPECT_TRUE(w.Commands().IsEnabled(qimcmd::ArchiveFolder));
}

TEST_F(ArchiveWindow, ACancelledNameLeavesTheFolderAsItWas) {
    TQimWindow w(home_.Path());
    w.ShowFolder(home_.File("box"));
    dialogs_.AnswerInput(std::nullopt);
    ASSERT_TRUE(w.Commands().Execute(qimcmd::ArchiveFolder));
    EXPECT_EQ(w.Model()->rowCount(), 3);
    for (const char* mail : {"1", "2", "3"}) EXPECT_TRUE(qimtest::FileExists(home_.File("box/") + mail)) << mail;
    EXPECT_EQ(dialogs_.Unanswered(), 0);
}

TEST(ArchiveProgressDialog, TwoLinesAndABarFollowTheRun) {
    qimtest::QimTestApp();
    TArchiveProgressDlg dialog(nullptr);
    dialog.BeginRun("/home/u/box/box20261211.LZH", 4);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.secondLine->text(), "/home/u/box/box20261211.LZH");
    EXPECT_EQ(dialog.progress->maximum(), 4);
    EXPECT_EQ(dialog.progress->value(), 0);
    dialog.ShowFirstLine("Mail Number:       1 -->");
    for (int i = 0; i < 6; ++i) dialog.StepRun();  // never past the end
    EXPECT_EQ(dialog.progress->value(), 4);
    EXPECT_EQ(dialog.firstLine->text(), "Mail Number:       1 -->");
    dialog.EndRun();
    EXPECT_TRUE(dialog.firstLine->text().isEmpty());
    dialog.ShowStatus(Sjis("終了です。"));
    EXPECT_EQ(dialog.firstLine->text(), QString::fromUtf8("終了です。"));
}

}  // namespace

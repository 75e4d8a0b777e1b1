// The server-folder session's window: shown while an operation runs, hidden
// after it, its completions passed to the owner, and socket failures reported
// in the "Socket Error" window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include "UiTestSupport.h"
#include "config/QimGlobals.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "imap/Imap4Codes.h"
#include "platform/ScriptedDialogService.h"
#include "support/ScriptedSocket.h"
#include "support/TestSupport.h"
#include "ui/SImap4CommunDlg.h"
#include "ui/SSocketErrorMessageDlg.h"

namespace {

struct Account {
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    Account() {
        qimtest::QimTestApp();
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.pop3Port = 143;
        inet.userName = "taro";
        inet.password = "secret";
    }
};

struct Completion {
    int operation = 0;
    int result = -1;
    SImap4Target target = SImap4Target::None;
};

// Runs the event loop until the window reports the end of `operation`.
Completion RunUntilDone(SImap4CommunDlg& dlg, int operation, bool* shownMeanwhile = nullptr) {
    Completion done;
    dlg.SetCompletionHandler([&](int op, int result, SImap4Target target, int) {
        if (op == operation) done = Completion{op, result, target};
    });
    QElapsedTimer clock;
    clock.start();
    while (done.operation == 0 && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (shownMeanwhile && dlg.isVisible()) *shownMeanwhile = true;
    }
    return done;
}

TEST(Imap4CommunDlg, ShowsItselfWhileAnOperationRunsAndPassesItsCompletionOn) {
    Account a;
    qimtest::Scenario s(
        "S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0001 LOGIN taro secret\nS: a0001 OK logged in\n"
        "C: a0002 LIST \"\" \"\"\nS: * LIST (\\Noselect) \".\" \"\"\nS: a0002 OK done\n"
        "C: a0003 CREATE \"_QimP.Work._mbox\"\n-- delay 100\nS: a0003 OK created\nC: a0004 LOGOUT\n");
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SImap4CommunDlg dlg(nullptr, a.inet, a.settings);
    EXPECT_EQ(dlg.cancelButton->objectName(), QString::number(qimimap::kControlCancel));
    EXPECT_EQ(dlg.emergencyButton->text(), QString::fromUtf8("非常ﾎﾞﾀﾝ(&E)"));
    SImap4Request request;
    request.folder = "_QimP\\Work\\_mbox";
    ASSERT_TRUE(dlg.Request(request, qimimap::kOpCreateFolder));
    bool shown = false;
    const Completion done = RunUntilDone(dlg, qimimap::kOpCreateFolder, &shown);
    EXPECT_EQ(done.result, qimimap::kResultSuccess);
    EXPECT_EQ(done.target, SImap4Target::Session);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(dlg.isVisible()) << "hidden between operations";
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST(Imap4CommunDlg, ARefusedConnectionIsReportedInTheSocketErrorWindow) {
    Account a;
    qimtest::Scenario s("-- refuse 10061\n");
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SImap4CommunDlg dlg(nullptr, a.inet, a.settings);
    SImap4Request request;
    request.folder = "_QimP\\Work\\_mbox";
    ASSERT_TRUE(dlg.Request(request, qimimap::kOpCreateFolder));
    EXPECT_EQ(RunUntilDone(dlg, qimimap::kOpCreateFolder).result, qimimap::kResultFailure);
    SSocketErrorMessageDlg* report = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<SSocketErrorMessageDlg*>(w); r && r->isVisible()) report = r;
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Socket Error"));
    EXPECT_TRUE(report->message->text().startsWith(QStringLiteral("Unable to connect"))) << report->message->text().toStdString();
    EXPECT_LE(report->message->text().size(), SSocketErrorMessageDlg::kTextLimit);
}

}  // namespace

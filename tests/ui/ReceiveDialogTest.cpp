// The receive dialog shows what the conversation reports and forwards its
// buttons; command 413's function stores, marks and reports.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "UiTestSupport.h"
#include "app/QimGlobals.h"
#include "app/QimStringIds.h"
#include "app/QimStrings.h"
#include "app/SSettingData.h"
#include "app/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "platform/qt/QtText.h"
#include "pop3/Pop3TestSupport.h"
#include "support/TestSupport.h"
#include "ui/SReceiveMailsDlg.h"

namespace {

// The application object must exist before the server's socket.
struct AppFirst {
    AppFirst() { qimtest::QimTestApp(); }
};

struct Account {
    AppFirst app;
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    pop3test::FakePop3 server;
    Account() {
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.pop3Port = server.Port();
        inet.userName = "taro";
        inet.password = "secret";
    }
};

TEST(ReceiveDialog, ShowsTheMessageBeingReceivedAndStoresIt) {
    Account a;
    const std::string mail = "From: a@example.jp\r\nSubject: " + pop3test::Jis("受信テスト") + "\r\n\r\nbody\r\n";
    a.server.answer = [&](const std::string& line) -> pop3test::FakePop3::Answer {
        if (line == "STAT") return {"+OK 1 50\r\n"};
        if (line == "RETR 1") return {"+OK\r\n" + mail + ".\r\n"};
        return {"+OK\r\n"};
    };
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveMailsDlg dlg(nullptr, a.inet, a.settings, a.dir.Path());
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("メールの受信"));
    EXPECT_EQ(dlg.cancelButton->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    EXPECT_EQ(dlg.exec(), qimpop3::kResultOk);
    EXPECT_FALSE(dlg.Failed());
    EXPECT_EQ(dlg.subject->text(), QString::fromUtf8("受信テスト"));
    EXPECT_EQ(dlg.from->text(), QStringLiteral("a@example.jp"));
    EXPECT_EQ(dlg.progress->value(), 1);
    EXPECT_EQ(qimtest::ReadFileBytes(a.dir.File("1")),
              "From: a@example.jp\r\nSubject: " + qimtest::Sjis("受信テスト") + "\r\n\r\nbody\r\n");
}

TEST(ReceiveDialog, TwoPressesOfCancelEndAStalledRun) {
    Account a;
    a.server.answer = [](const std::string& line) -> pop3test::FakePop3::Answer {
        if (line == "STAT") return {""};
        return {"+OK\r\n"};
    };
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveMailsDlg dlg(nullptr, a.inet, a.settings, a.dir.Path());
    auto* timer = new QTimer(&dlg);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (a.server.Has("STAT")) {
            timer->stop();
            dlg.cancelButton->click();
            EXPECT_TRUE(dlg.isVisible()) << "the first press waits for the server";
            dlg.cancelButton->click();
        }
    });
    timer->start();
    dlg.exec();
    EXPECT_TRUE(dlg.Failed());
}

TEST(ReceiveDialog, CommandFunctionReportsNoNewMail) {
    Account a;
    a.server.answer = [](const std::string& line) -> pop3test::FakePop3::Answer {
        if (line == "STAT") return {"+OK 0 0\r\n"};
        return {"+OK\r\n"};
    };
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveOutcome outcome = RunReceiveDialog(nullptr, a.inet, a.settings, nullptr, a.dir.Path());
    EXPECT_FALSE(outcome.Arrived());
    EXPECT_FALSE(outcome.failed);
    bool told = false;
    for (const auto& b : dialogs.Boxes()) told |= b.text == LoadQimString(qimstr::NoNewMail);
    EXPECT_TRUE(told);
}

}  // namespace

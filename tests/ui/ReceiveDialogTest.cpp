// The receive dialog shows what the conversation reports and forwards its
// buttons; the function of qimcmd::Receive stores, marks and reports.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "UiTestSupport.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "platform/qt/QtText.h"
#include "pop3/Pop3TestSupport.h"
#include "support/ScriptedSocket.h"
#include "support/TestSupport.h"
#include "ui/SReceiveMailsDlg.h"

namespace {

struct Account {
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    Account() {
        qimtest::QimTestApp();
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.pop3Port = 110;
        inet.userName = "taro";
        inet.password = "secret";
    }
};

std::vector<std::string> Kinds(const platform::ScriptedDialogService& dialogs, platform::RecordedBox::Kind kind) {
    std::vector<std::string> texts;
    for (const auto& b : dialogs.Boxes())
        if (b.kind == kind) texts.push_back(b.text);
    return texts;
}

TEST(ReceiveDialog, ShowsTheMessageBeingReceivedStoresItAndPlaysTheNewMailSound) {
    Account a;
    qimtest::WriteFileBytes(a.dir.File("QIM.INI"), "[Sound]\r\nNewMail=/sounds/new.wav\r\n");
    const std::string mail = "From: a@example.jp\r\nSubject: " + pop3test::Jis("受信テスト") + "\r\n\r\nbody\r\n";
    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT\nS: +OK 1 50");
    pop3test::Retr(s, 1, mail);
    s.Script("C: QUIT\nS: +OK\n-- close");
    qimtest::ScriptedSockets sockets(s);
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
    EXPECT_EQ(Kinds(dialogs, platform::RecordedBox::Kind::Sound), std::vector<std::string>{"/sounds/new.wav"});
    EXPECT_TRUE(Kinds(dialogs, platform::RecordedBox::Kind::Message).empty());
}

// What the conversation reports comes as boxes over the dialog, in order.
TEST(ReceiveDialog, ShowsTheConversationsNoticesAsBoxes) {
    Account a;
    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT\nS: +OK 1 50\nC: RETR 1\nS: -ERR gone\nC: QUIT\nS: +OK");
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveMailsDlg dlg(nullptr, a.inet, a.settings, a.dir.Path());
    EXPECT_EQ(dlg.exec(), qimpop3::kResultCancel);
    const auto boxes = Kinds(dialogs, platform::RecordedBox::Kind::Message);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(qimtest::Utf8(boxes[0]), "メール 1/1 をサーバーから受け取れませんでした。\nサーバーの応答: -ERR gone");
    EXPECT_EQ(boxes[1], LoadQimString(qimstr::ErrorAborting));
    for (const auto& b : dialogs.Boxes()) EXPECT_EQ(b.caption, "Qim");
}

TEST(ReceiveDialog, TwoPressesOfCancelEndAStalledRun) {
    Account a;
    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT");  // never answered
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveMailsDlg dlg(nullptr, a.inet, a.settings, a.dir.Path());
    auto* timer = new QTimer(&dlg);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (s.Finished()) {
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

TEST(ReceiveDialog, CommandFunctionReportsNoNewMailWithTheBeep) {
    Account a;
    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT\nS: +OK 0 0\nC: QUIT\nS: +OK");
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveOutcome outcome = RunReceiveDialog(nullptr, a.inet, a.settings, nullptr, a.dir.Path());
    EXPECT_FALSE(outcome.Arrived());
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(Kinds(dialogs, platform::RecordedBox::Kind::Message), std::vector<std::string>{LoadQimString(qimstr::NoNewMail)});
    EXPECT_EQ(Kinds(dialogs, platform::RecordedBox::Kind::Beep).size(), 1u);
}

}  // namespace

// The receive dialog shows what the conversation reports and forwards its
// buttons; the function of qimcmd::Receive stores, marks and reports.
#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
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
    EXPECT_EQ(dlg.progress->value(), dlg.progress->maximum());
    EXPECT_EQ(qimtest::ReadFileBytes(a.dir.File("1")),
              "From: a@example.jp\r\nSubject: " + qimtest::Sjis("受信テスト") + "\r\n\r\nbody\r\n");
    EXPECT_EQ(Kinds(dialogs, platform::RecordedBox::Kind::Sound), std::vector<std::string>{"/sounds/new.wav"});
    EXPECT_TRUE(Kinds(dialogs, platform::RecordedBox::Kind::Message).empty());
}

// A long message moves the bar as its bytes come, by the size its RETR reply
// gives, or else by the mailbox's average from STAT.
TEST(ReceiveDialog, TheProgressMovesWithTheBytesOfALongMessage) {
    Account a;
    std::string body;
    for (int i = 0; i < 2000; ++i) body += "line " + std::to_string(i) + " of a long message, some text\r\n";
    const std::string mail = "From: a@example.jp\r\nSubject: long\r\n\r\n" + body;
    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT\nS: +OK 2 " + std::to_string(2 * mail.size()));
    for (int n = 1; n <= 2; ++n) {
        s.Client("RETR " + std::to_string(n) + "\r\n");
        // The first reply tells the size, the second does not.
        const std::string retrieved = pop3test::Retrieved(mail);
        const std::string reply = n == 1 ? "+OK " + std::to_string(mail.size()) + " octets\r\n" : "+OK\r\n";
        const std::string rest = retrieved.substr(retrieved.find('\n') + 1);
        s.Server(reply);
        for (std::size_t at = 0; at < rest.size(); at += 8000) s.Server(rest.substr(at, 8000)).Cut();
        s.Client("DELE " + std::to_string(n) + "\r\n").Server("+OK\r\n");
    }
    s.Script("C: QUIT\nS: +OK\n-- close");
    qimtest::ScriptedSockets sockets(s);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SReceiveMailsDlg dlg(nullptr, a.inet, a.settings, a.dir.Path());
    std::vector<int> values;
    QObject::connect(dlg.progress, &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
    EXPECT_EQ(dlg.exec(), qimpop3::kResultOk);
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    const int steps = dlg.progress->maximum() / 2;  // one stretch per message
    EXPECT_EQ(values.back(), dlg.progress->maximum());
    for (int message = 0; message < 2; ++message) {
        SCOPED_TRACE(message + 1);
        const auto inside = std::count_if(values.begin(), values.end(), [&](int v) {
            return v > message * steps && v < (message + 1) * steps;
        });
        EXPECT_GE(inside, 10) << "the bar stood still during the message";
    }
    EXPECT_TRUE(qimtest::FileExists(a.dir.File("2")));
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

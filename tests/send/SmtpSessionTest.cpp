#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <optional>

#include "app/QimStringIds.h"
#include "app/QimStrings.h"
#include "common/JapaneseCodes.h"
#include "send/SSmtpSession.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::FakeSmtpServer;
using qimtest::RunUntil;
using qimtest::Sjis;

class Observer : public SSmtpSessionObserver {
public:
    std::vector<std::string> statuses;
    std::optional<SSmtpOutcome> outcome;
    void OnSmtpStatus(const std::string& text) override { statuses.push_back(text); }
    void OnSmtpEnded(SSmtpOutcome o) override { outcome = o; }
};

std::string Jis(const std::string& sjis) {
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 1,
                    '\0');
    out.resize(static_cast<std::size_t>(Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()))));
    return out;
}

class SmtpSession : public qimtest::SendTest {
protected:
    void SetUp() override {
        SendTest::SetUp();
        inet_.smtpServer = "127.0.0.1";
        inet_.userName = "user";
        inet_.mailAddress = "me@example.jp";
        header_.from = "Me <me@example.jp>";
        header_.to = "you@example.jp";
        ASSERT_TRUE(header_.Build());
    }

    // Sends the message file `message` (header included) to the fake server.
    std::optional<SSmtpOutcome> SendFile(const std::string& message, int sendWindow = 0) {
        const std::string path = dir_.File("message.eml");
        qimtest::WriteFileBytes(path, message);
        fileLines_ = std::make_unique<SGetLineFile>(path);
        const auto outcome = Run(*fileLines_, true, sendWindow);
        if (!outcome) ADD_FAILURE() << "the server heard: " << server_.received;
        return outcome;
    }

    std::optional<SSmtpOutcome> Run(SGetLine& lines, bool headerInFile, int sendWindow = 0,
                                    const std::function<void(SSmtpSession&)>& during = nullptr) {
        inet_.smtpPort = server_.Port();
        session_ = std::make_unique<SSmtpSession>(inet_, header_, lines, headerInFile, observer_);
        if (sendWindow) session_->Socket().SetSendWindow(sendWindow);
        session_->SetTimeout(timeoutMs_);
        session_->Start();
        if (during) during(*session_);
        EXPECT_TRUE(RunUntil([&] { return observer_.outcome.has_value(); }));
        return observer_.outcome;
    }

    std::string Host() const { return inet_.clientAddr; }

    FakeSmtpServer server_;
    SUserInetData inet_;
    SEMailMimeHeader header_;
    Observer observer_;
    std::unique_ptr<SGetLineFile> fileLines_;  // declared before the session, which reads it
    std::unique_ptr<SSmtpSession> session_;
    int timeoutMs_ = 20000;
};

TEST_F(SmtpSession, TheConversationInOrderWithDotStuffingAndLineEndsMadeCrLf) {
    const std::string message = "Subject: dots\r\n\r\n.\r\n..two\r\n.x\nbare LF\nno line end";
    ASSERT_EQ(SendFile(message), SSmtpOutcome::Sent);
    EXPECT_EQ(server_.received, "HELO " + Host() + "\r\nMAIL FROM:<me@example.jp>\r\nRCPT TO:<you@example.jp>\r\n"
                                "DATA\r\nSubject: dots\r\n\r\n..\r\n...two\r\n..x\r\nbare LF\r\nno line end\r\n"
                                ".\r\nQUIT\r\n");
    EXPECT_TRUE(dialogs_.Boxes().empty());
    EXPECT_EQ(session_->State(), SSmtpState::Idle);
}

TEST_F(SmtpSession, WithoutAFileTheHeaderTextGoesFirstAndEveryLineIsJis) {
    header_.subject = Sjis("日本語の件名");
    header_.extraHeader = ".";  // a header line made of a dot must not end the message
    SEMailHeader plain;         // the header without MIME, as a plain text send has it
    plain.from = header_.from;
    plain.to = header_.to;
    plain.subject = header_.subject;
    plain.extraHeader = header_.extraHeader;
    ASSERT_TRUE(plain.Build());
    SComposeText editor(Sjis("こんにちは\r\n.\r\nend"));
    SGetLineEdit lines(editor);
    inet_.smtpPort = server_.Port();
    SSmtpSession session(inet_, plain, lines, false, observer_);
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer_.outcome.has_value(); }));
    EXPECT_EQ(*observer_.outcome, SSmtpOutcome::Sent);
    std::string header = plain.HeaderText();
    header.replace(header.find("\r\n.\r\n"), 5, "\r\n..\r\n");
    EXPECT_EQ(server_.data, Jis(header) + "\r\n" + Jis(Sjis("こんにちは\r\n")) + "..\r\nend\r\n");
}

TEST_F(SmtpSession, MultiLineRepliesAcrossReadsAndOverlongLinesAreUnderstood) {
    server_.greeting = "220-first line\r\n220-sec";
    server_.reply = [this](const std::string& command) -> std::string {
        if (command.rfind("HELO", 0) == 0) return "250-fake.example\r\n250-" + std::string(3000, 'x') + "\r\n250 OK\r\n";
        if (command.rfind("MAIL", 0) == 0) return "250 " + std::string(2500, 'y') + "-\r\n";
        return FakeSmtpServer::StandardReply(command);
    };
    QTimer::singleShot(200, [this] { server_.Send("ond line\r\n220 ready\r\n"); });
    ASSERT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Sent);
    EXPECT_EQ(server_.data, "Subject: x\r\n\r\nbody\r\n");
}

TEST_F(SmtpSession, LinesTakenInPartAreFinishedBeforeTheNextOne) {
    std::string body;
    for (int i = 0; i < 60; ++i) body += std::string(1000, static_cast<char>('a' + i % 26)) + "\r\n";
    const std::string message = "Subject: big\r\n\r\n" + body;
    // A send window of 7 bytes takes every line in many pieces.
    ASSERT_EQ(SendFile(message, 7), SSmtpOutcome::Sent);
    EXPECT_EQ(server_.data, message);
}

TEST_F(SmtpSession, FiveRecipientsInTheOrderToCcBcc) {
    header_.to = "t1@example.jp, T Two <t2@example.jp>";
    header_.cc = "c1@example.jp, c2@example.jp";
    header_.bcc = "b1@example.jp";
    ASSERT_TRUE(header_.Build());
    ASSERT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Sent);
    std::vector<std::string> rcpts;
    for (const std::string& c : server_.commands)
        if (c.rfind("RCPT", 0) == 0) rcpts.push_back(c);
    EXPECT_EQ(rcpts, (std::vector<std::string>{"RCPT TO:<t1@example.jp>", "RCPT TO:<t2@example.jp>",
                                               "RCPT TO:<c1@example.jp>", "RCPT TO:<c2@example.jp>",
                                               "RCPT TO:<b1@example.jp>"}));
}

// A refusal fails the send with one box that names the step and quotes the
// server's reply line.
TEST_F(SmtpSession, ARefusedReplyAtAnyStepFailsTheSendAndSaysWhereAndWhy) {
    const struct {
        const char* step;
        const char* reply;
        const char* shown;  // the box, UTF-8
    } cases[] = {
        {"greeting", "554 go away\r\n", "サーバーが接続を受け付けませんでした。\r\nサーバーの応答: 554 go away"},
        {"HELO", "501 no\r\n", "サーバーが HELO を受け付けませんでした。\r\nサーバーの応答: 501 no"},
        {"MAIL", "550 no\r\n", "サーバーが差出人 <me@example.jp> を受け付けませんでした。\r\nサーバーの応答: 550 no"},
        {"RCPT", "550 5.1.1 unknown\r\n",
         "サーバーが宛先 <you@example.jp> を受け付けませんでした。\r\nサーバーの応答: 550 5.1.1 unknown"},
        {"DATA", "554 no\r\n", "サーバーが DATA を受け付けませんでした。\r\nサーバーの応答: 554 no"},
        {"message", "552 too big\r\n", "サーバーがメールの本文を受け付けませんでした。\r\nサーバーの応答: 552 too big"},
        {"HELO", "250-ok\r\n251 wrong\x01"
                 "code\r\n",
         "サーバーが HELO を受け付けませんでした。\r\nサーバーの応答: 251 wrong?code"},
    };
    for (const auto& c : cases) {
        FakeSmtpServer server;
        const std::string step = c.step;
        if (step == "greeting") server.greeting = c.reply;
        if (step == "message") server.dataReply = c.reply;
        server.reply = [&](const std::string& command) {
            return command.rfind(step, 0) == 0 ? std::string(c.reply) : FakeSmtpServer::StandardReply(command);
        };
        dialogs_.Clear();
        inet_.smtpPort = server.Port();
        const std::string path = dir_.File("m.eml");
        qimtest::WriteFileBytes(path, "Subject: x\r\n\r\nbody\r\n");
        SGetLineFile lines(path);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, true, observer);
        session.Start();
        ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); })) << step;
        EXPECT_EQ(*observer.outcome, SSmtpOutcome::Failed) << step;
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{std::string(c.shown) + "\r\nエラーです。中止します。"}) << step;
        EXPECT_EQ(session.State(), SSmtpState::Idle) << step;
        for (const std::string& command : server.commands) EXPECT_NE(command, "QUIT") << step;
    }
}

// Once the server took the message (250 after the data) it is sent, whatever
// the server says to QUIT: a failure here would make the user send it twice.
TEST_F(SmtpSession, AMessageAcceptedIsSentEvenWhenQuitIsRefused) {
    for (const char* quitReply : {"421 4.3.2 shutting down\r\n", "500 what?\r\n"}) {
        FakeSmtpServer server;
        server.reply = [&](const std::string& command) {
            return command == "QUIT" ? std::string(quitReply) : FakeSmtpServer::StandardReply(command);
        };
        dialogs_.Clear();
        inet_.smtpPort = server.Port();
        const std::string path = dir_.File("m.eml");
        qimtest::WriteFileBytes(path, "Subject: x\r\n\r\nbody\r\n");
        SGetLineFile lines(path);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, true, observer);
        session.Start();
        ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); })) << quitReply;
        EXPECT_EQ(*observer.outcome, SSmtpOutcome::Sent) << quitReply;
        EXPECT_TRUE(BoxTexts().empty()) << quitReply;
        EXPECT_EQ(server.data, "Subject: x\r\n\r\nbody\r\n");
    }
}

TEST_F(SmtpSession, AConnectionThatEndsBeforeTheMessageWasAcceptedIsAFailedSend) {
    const struct {
        const char* name;
        bool closeOnData;  // else on the reply to RCPT
    } cases[] = {{"after the data", true}, {"after RCPT", false}};
    for (const auto& c : cases) {
        FakeSmtpServer server;
        if (c.closeOnData) server.dataReply = "<close>";
        else
            server.reply = [](const std::string& command) {
                return command.rfind("RCPT", 0) == 0 ? std::string("<close>") : FakeSmtpServer::StandardReply(command);
            };
        dialogs_.Clear();
        inet_.smtpPort = server.Port();
        const std::string path = dir_.File("m.eml");
        qimtest::WriteFileBytes(path, "Subject: x\r\n\r\nbody\r\n");
        SGetLineFile lines(path);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, true, observer);
        session.Start();
        ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); })) << c.name;
        EXPECT_EQ(*observer.outcome, SSmtpOutcome::Failed) << c.name;
        EXPECT_TRUE(Showed(qimstr::ClosedBeforeAccepted)) << c.name;
    }
}

TEST_F(SmtpSession, AConnectionThatEndsAfterTheMessageWasAcceptedIsASend) {
    server_.reply = [](const std::string& command) {
        return command == "QUIT" ? std::string("<close>") : FakeSmtpServer::StandardReply(command);
    };
    EXPECT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Sent);
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST_F(SmtpSession, CancelClosesBeforeRcptAndOnlyOnTheSecondPressAfterIt) {
    // Waiting for a greeting that never comes.
    server_.greeting = "";
    SComposeText editor("body");
    SGetLineEdit lines(editor);
    Run(lines, false, 0, [&](SSmtpSession& s) {
        ASSERT_TRUE(RunUntil([&] { return s.State() == SSmtpState::AwaitGreeting; }));
        s.Cancel();
    });
    EXPECT_EQ(*observer_.outcome, SSmtpOutcome::Cancelled);
    EXPECT_TRUE(dialogs_.Boxes().empty());

    // A server that stalls after RCPT TO: the first cancel is refused, the second closes at once.
    FakeSmtpServer stalled;
    stalled.reply = [](const std::string& command) {
        return command.rfind("RCPT", 0) == 0 ? std::string() : FakeSmtpServer::StandardReply(command);
    };
    inet_.smtpPort = stalled.Port();
    Observer observer;
    SGetLineEdit again(editor);
    SSmtpSession session(inet_, header_, again, false, observer);
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return session.State() == SSmtpState::AwaitRcptReply; }));
    session.Cancel();
    EXPECT_TRUE(Showed(qimstr::CannotCancelNow));
    qimtest::RunFor(100);
    EXPECT_FALSE(observer.outcome.has_value());
    EXPECT_EQ(session.State(), SSmtpState::AwaitRcptReply);
    session.Cancel();
    EXPECT_EQ(session.State(), SSmtpState::Idle);
    ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, SSmtpOutcome::Cancelled);
    ASSERT_TRUE(RunUntil([&] { return stalled.closed; }));
}

TEST_F(SmtpSession, AServerThatStopsAnsweringIsGivenUpAfterTheTimeOut) {
    server_.reply = [](const std::string& command) {
        return command == "DATA" ? std::string() : FakeSmtpServer::StandardReply(command);
    };
    timeoutMs_ = 400;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Failed);
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(qimtest::Utf8(dialogs_.Boxes()[0].text), "サーバーから 1 秒間応答がないため、送信を中止しました。");
}

TEST_F(SmtpSession, AHostileServerCannotKeepAReplyGoingForever) {
    std::string endless;
    for (int i = 0; i < 1500; ++i) endless += "220-still talking\r\n";
    server_.greeting = endless + "220 done\r\n";
    EXPECT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::ErrorAborting));
}

TEST_F(SmtpSession, AnUnreadableMessageStillQuitsButIsNoSend) {
    SGetLineFile lines(dir_.File("missing.eml"));
    EXPECT_EQ(Run(lines, true), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::BodyUnreadable));
    EXPECT_EQ(server_.commands.back(), "QUIT");
    for (const std::string& command : server_.commands) EXPECT_NE(command.rfind("MAIL", 0), 0u);
}

TEST_F(SmtpSession, AHostNameIsLookedUpFirst) {
    inet_.smtpServer = "localhost";
    EXPECT_EQ(SendFile("Subject: x\r\n\r\nbody\r\n"), SSmtpOutcome::Sent);
    EXPECT_EQ(observer_.statuses.front(), LoadQimString(qimstr::LookingUpHost));
}

TEST_F(SmtpSession, MissingSettingsAreAskedForAndAHeaderWithoutRecipientsCompleted) {
    inet_.smtpServer.clear();
    SComposeText editor("body");
    SGetLineEdit lines(editor);
    inet_.smtpPort = server_.Port();
    SSmtpSession session(inet_, header_, lines, false, observer_);
    int asked = 0;
    session.askNetworkSettings = [&](SUserInetData& inet) {
        ++asked;
        return false;  // declined
    };
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer_.outcome.has_value(); }));
    EXPECT_EQ(*observer_.outcome, SSmtpOutcome::Failed);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(server_.commands.empty());

    observer_.outcome.reset();
    session.askNetworkSettings = [&](SUserInetData& inet) {
        inet.smtpServer = "127.0.0.1";
        return true;
    };
    header_.to.clear();
    ASSERT_TRUE(header_.Build());
    session.completeHeader = [](SEMailHeader& h) {
        h.to = "late@example.jp";
        return h.Build();
    };
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer_.outcome.has_value(); }));
    EXPECT_EQ(*observer_.outcome, SSmtpOutcome::Sent);
    EXPECT_NE(std::find(server_.commands.begin(), server_.commands.end(), "RCPT TO:<late@example.jp>"),
              server_.commands.end());
}

}  // namespace

// The SMTP conversation through scripted servers: the exact bytes it sends,
// the replies it understands, and how each refusal, break and stall ends it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <optional>

#include "common/JapaneseCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "send/SSmtpSession.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::LocalHostName;
using qimtest::PlaySmtp;
using qimtest::PlaySmtpUntilData;
using qimtest::RunUntil;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using qimtest::Sjis;

// Shows the session's notices in the scripted boxes, as the send dialog does.
class Observer : public SSmtpSessionObserver {
public:
    std::vector<std::string> statuses;
    std::optional<SSmtpOutcome> outcome;
    void OnSmtpStatus(const std::string& text) override { statuses.push_back(text); }
    void OnSmtpNotice(const SNotice& notice) override { qimtest::ShowInBoxes(notice); }
    void OnSmtpEnded(SSmtpOutcome o) override { outcome = o; }
};

std::string Jis(const std::string& sjis) {
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 1,
                    '\0');
    out.resize(static_cast<std::size_t>(Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()))));
    return out;
}

const char kMessage[] = "Subject: x\r\n\r\nbody\r\n";

class SmtpSession : public qimtest::SendTest {
protected:
    void SetUp() override {
        SendTest::SetUp();
        inet_.smtpServer = "127.0.0.1";
        inet_.smtpPort = 25;
        inet_.userName = "user";
        inet_.mailAddress = "me@example.jp";
        header_.from = "Me <me@example.jp>";
        header_.to = "you@example.jp";
        ASSERT_TRUE(header_.Build());
    }

    // Sends the message file `message` (header included) through `scenario`.
    std::optional<SSmtpOutcome> SendFile(Scenario& scenario, const std::string& message) {
        const std::string path = dir_.File("message.eml");
        qimtest::WriteFileBytes(path, message);
        SGetLineFile lines(path);
        return Run(scenario, lines, true);
    }

    std::optional<SSmtpOutcome> Run(Scenario& scenario, SGetLine& lines, bool headerInFile) {
        ScriptedSockets sockets(scenario);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, headerInFile, observer);
        session.SetTimeout(timeoutMs_);
        session.Start();
        EXPECT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
        EXPECT_EQ(session.State(), SSmtpState::Idle);
        statuses_ = observer.statuses;
        return observer.outcome;
    }

    SUserInetData inet_;
    SEMailMimeHeader header_;
    int timeoutMs_ = 20000;
    std::vector<std::string> statuses_;
};

TEST_F(SmtpSession, TheConversationInOrderWithDotStuffingAndLineEndsMadeCrLf) {
    Scenario s;
    PlaySmtp(s, {.data = "Subject: dots\r\n\r\n..\r\n...two\r\n..x\r\nbare LF\r\nno line end\r\n.\r\n"});
    EXPECT_EQ(SendFile(s, "Subject: dots\r\n\r\n.\r\n..two\r\n.x\nbare LF\nno line end"), SSmtpOutcome::Sent);
    EXPECT_TRUE(dialogs_.Boxes().empty());
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
    std::string header = plain.HeaderText();
    header.replace(header.find("\r\n.\r\n"), 5, "\r\n..\r\n");
    Scenario s;
    PlaySmtp(s, {.data = Jis(header) + "\r\n" + Jis(Sjis("こんにちは\r\n")) + "..\r\nend\r\n.\r\n"});
    SComposeText editor(Sjis("こんにちは\r\n.\r\nend"));
    SGetLineEdit lines(editor);
    ScriptedSockets sockets(s);
    Observer observer;
    SSmtpSession session(inet_, plain, lines, false, observer);
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, SSmtpOutcome::Sent);
}

TEST_F(SmtpSession, MultiLineRepliesAcrossReadsAndOverlongLinesAreUnderstood) {
    Scenario s("S: 220-first line\nS> 220-sec\n-- delay 200\nS: ond line\nS: 220 ready\n"
               "C: EHLO " + LocalHostName() + "\n"
               "S: 250-fake.example\nS: 250-" + std::string(3000, 'x') + "\nS: 250 OK\n"
               "C: MAIL FROM:<me@example.jp>\n"
               "S: 250 " + std::string(2500, 'y') + "-\n"
               "C: RCPT TO:<you@example.jp>\nS: 250 OK\nC: DATA\nS: 354 go on\n");
    s.Client(std::string(kMessage) + ".\r\n").Script("S: 250 queued\nC: QUIT\nS: 221 bye");
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Sent);
}

// A NUL inside a line does not end it: the bytes after it and the line end go
// out as the file holds them (the line never runs into the next one).
TEST_F(SmtpSession, ANulByteKeepsTheRestOfItsLine) {
    const std::string message = std::string("Subject: nul\r\n\r\nbefore\0after\r\nnext\r\n", 36);
    Scenario s;
    PlaySmtp(s, {.data = message + ".\r\n"});
    EXPECT_EQ(SendFile(s, message), SSmtpOutcome::Sent);
}

TEST_F(SmtpSession, LinesTakenInPartAreFinishedBeforeTheNextOne) {
    std::string body;
    for (int i = 0; i < 60; ++i) body += std::string(1000, static_cast<char>('a' + i % 26)) + "\r\n";
    const std::string message = "Subject: big\r\n\r\n" + body;
    // The socket takes at most 7 bytes of a send: every line goes in many pieces.
    Scenario s("-- window 7");
    PlaySmtp(s, {.data = message + ".\r\n"});
    EXPECT_EQ(SendFile(s, message), SSmtpOutcome::Sent);
}

TEST_F(SmtpSession, FiveRecipientsInTheOrderToCcBcc) {
    header_.to = "t1@example.jp, T Two <t2@example.jp>";
    header_.cc = "c1@example.jp, c2@example.jp";
    header_.bcc = "b1@example.jp";
    ASSERT_TRUE(header_.Build());
    Scenario s;
    PlaySmtp(s, {.recipients = {"t1@example.jp", "t2@example.jp", "c1@example.jp", "c2@example.jp", "b1@example.jp"},
                 .data = std::string(kMessage) + ".\r\n"});
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Sent);
}

// A refusal fails the send with one box that names the step and quotes the
// server's reply line; the connection ends there, without QUIT.
TEST_F(SmtpSession, ARefusedReplyAtAnyStepFailsTheSendAndSaysWhereAndWhy) {
    const std::string helo = "C: EHLO " + LocalHostName() + "\n";
    // EHLO refused: HELO follows, and its refusal ends the send.
    const std::string ehloRefused = helo + "S: 502 what\nC: HELO " + LocalHostName() + "\n";
    const struct {
        std::string script;
        const char* shown;  // the box, UTF-8
    } cases[] = {
        {"S: 554 go away", "サーバーが接続を受け付けませんでした。\r\nサーバーの応答: 554 go away"},
        {"S: 220 hi\n" + ehloRefused + "S: 501 no", "サーバーが HELO を受け付けませんでした。\r\nサーバーの応答: 501 no"},
        {"S: 220 hi\n" + helo + "S: 250 hi\nC: MAIL FROM:<me@example.jp>\nS: 550 no",
         "サーバーが差出人 <me@example.jp> を受け付けませんでした。\r\nサーバーの応答: 550 no"},
        {"S: 220 hi\n" + helo + "S: 250 hi\nC: MAIL FROM:<me@example.jp>\nS: 250 ok\n"
         "C: RCPT TO:<you@example.jp>\nS: 550 5.1.1 unknown",
         "サーバーが宛先 <you@example.jp> を受け付けませんでした。\r\nサーバーの応答: 550 5.1.1 unknown"},
        {"S: 220 hi\n" + helo + "S: 250 hi\nC: MAIL FROM:<me@example.jp>\nS: 250 ok\n"
         "C: RCPT TO:<you@example.jp>\nS: 250 ok\nC: DATA\nS: 554 no",
         "サーバーが DATA を受け付けませんでした。\r\nサーバーの応答: 554 no"},
        {"S: 220 hi\n" + ehloRefused + "S: 250-ok\nS: 251 wrong\x01" "code",
         "サーバーが HELO を受け付けませんでした。\r\nサーバーの応答: 251 wrong?code"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        dialogs_.Clear();
        Scenario s(c.script);
        EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Failed);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{std::string(c.shown) + "\r\nエラーです。中止します。"});
    }
    // The message itself refused.
    dialogs_.Clear();
    Scenario s;
    PlaySmtpUntilData(s, {});
    s.Script("S: 354 go on").Client(std::string(kMessage) + ".\r\n").Script("S: 552 too big");
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Failed);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"サーバーがメールの本文を受け付けませんでした。\r\nサーバーの応答: 552 too big\r\n"
                                                   "エラーです。中止します。"});
}

// Once the server took the message (250 after the data) it is sent, whatever
// the server does with QUIT: a failure here would make the user send it twice.
TEST_F(SmtpSession, AMessageAcceptedIsSentWhateverBecomesOfQuit) {
    for (const char* ending : {"S: 421 4.3.2 shutting down", "S: 500 what?", "-- close"}) {
        SCOPED_TRACE(ending);
        dialogs_.Clear();
        Scenario s;
        PlaySmtpUntilData(s, {});
        s.Script("S: 354 go on").Client(std::string(kMessage) + ".\r\n").Script("S: 250 queued\nC: QUIT").Script(ending);
        EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Sent);
        EXPECT_TRUE(dialogs_.Boxes().empty());
    }
}

TEST_F(SmtpSession, AConnectionThatEndsBeforeTheMessageWasAcceptedIsAFailedSend) {
    Scenario afterData;
    PlaySmtpUntilData(afterData, {});
    afterData.Script("S: 354 go on").Client(std::string(kMessage) + ".\r\n").Close();
    Scenario afterRcpt("S: 220 hi\nC: EHLO " + LocalHostName() +
                       "\nS: 250 hi\nC: MAIL FROM:<me@example.jp>\nS: 250 ok\nC: RCPT TO:<you@example.jp>\n-- close");
    for (Scenario* s : {&afterData, &afterRcpt}) {
        dialogs_.Clear();
        EXPECT_EQ(SendFile(*s, kMessage), SSmtpOutcome::Failed);
        EXPECT_TRUE(Showed(qimstr::ClosedBeforeAccepted));
    }
}

TEST_F(SmtpSession, CancelClosesBeforeRcptAndOnlyOnTheSecondPressAfterIt) {
    SComposeText editor("body");
    {
        // Waiting for a greeting that never comes.
        Scenario silent;
        ScriptedSockets sockets(silent);
        SGetLineEdit lines(editor);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, false, observer);
        session.Start();
        ASSERT_TRUE(RunUntil([&] { return session.State() == SSmtpState::AwaitGreeting; }));
        session.Cancel();
        ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
        EXPECT_EQ(*observer.outcome, SSmtpOutcome::Cancelled);
        EXPECT_TRUE(dialogs_.Boxes().empty());
    }
    // A server that stalls after RCPT TO: the first cancel is refused, the second closes at once.
    Scenario stalled("S: 220 hi\nC: EHLO " + LocalHostName() +
                     "\nS: 250 hi\nC: MAIL FROM:<me@example.jp>\nS: 250 ok\nC: RCPT TO:<you@example.jp>");
    ScriptedSockets sockets(stalled);
    SGetLineEdit lines(editor);
    Observer observer;
    SSmtpSession session(inet_, header_, lines, false, observer);
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
    EXPECT_TRUE(stalled.ClosedByClient());
}

TEST_F(SmtpSession, AServerThatStopsAnsweringIsGivenUpAfterTheTimeOut) {
    Scenario s;
    PlaySmtpUntilData(s, {});  // DATA is never answered
    timeoutMs_ = 400;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Failed);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"サーバーから 1 秒間応答がないため、送信を中止しました。"});
}

TEST_F(SmtpSession, AHostileServerCannotKeepAReplyGoingForever) {
    Scenario s;
    for (int i = 0; i < 1500; ++i) s.Server("220-still talking\r\n");
    s.Server("220 done\r\n");
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::ErrorAborting));
}

TEST_F(SmtpSession, AnUnreadableMessageStillQuitsButIsNoSend) {
    Scenario s("S: 220 hi\nC: EHLO " + LocalHostName() + "\nS: 250 hi\nC: QUIT\nS: 221 bye\n-- close");
    SGetLineFile lines(dir_.File("missing.eml"));
    EXPECT_EQ(Run(s, lines, true), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::BodyUnreadable));
}

TEST_F(SmtpSession, AHostNameIsLookedUpFirst) {
    inet_.smtpServer = "smtp.example.jp";
    Scenario s;
    PlaySmtp(s, {.data = std::string(kMessage) + ".\r\n"});
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Sent);
    EXPECT_EQ(statuses_.front(), LoadQimString(qimstr::LookingUpHost));
}

TEST_F(SmtpSession, MissingSettingsAreAskedForAndAHeaderWithoutRecipientsCompleted) {
    inet_.smtpServer.clear();
    header_.to.clear();
    ASSERT_TRUE(header_.Build());
    // The first start is declined before any connection; the second goes out.
    Scenario s;
    PlaySmtp(s, {.recipients = {"late@example.jp"}, .data = std::string(kMessage) + ".\r\n"});
    ScriptedSockets sockets(s);
    const std::string path = dir_.File("message.eml");
    qimtest::WriteFileBytes(path, kMessage);
    SGetLineFile lines(path);
    Observer observer;
    SSmtpSession session(inet_, header_, lines, true, observer);
    int asked = 0;
    session.askNetworkSettings = [&](SUserInetData&) {
        ++asked;
        return false;  // declined
    };
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, SSmtpOutcome::Failed);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(s.ClientBytes().empty());

    observer.outcome.reset();
    session.askNetworkSettings = [&](SUserInetData& inet) {
        inet.smtpServer = "127.0.0.1";
        return true;
    };
    session.completeHeader = [](SEMailHeader& h) {
        h.to = "late@example.jp";
        return h.Build();
    };
    session.Start();
    ASSERT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
    EXPECT_EQ(*observer.outcome, SSmtpOutcome::Sent);
}

}  // namespace

namespace {

// What a server sends after its 220 to STARTTLS and before the handshake was
// not protected: it is dropped, never read as the reply to the next EHLO (a
// refusal here would fail the send).
TEST_F(SmtpSession, RepliesSentBeforeTheTlsHandshakeAreIgnored) {
    inet_.smtpSecurity = kSecurityStartTls;
    const std::string ehlo = "C: EHLO " + LocalHostName() + "\n";
    Scenario s("S: 220 hi\n" + ehlo + "S: 250-hi\nS: 250 STARTTLS\nC: STARTTLS\nS: 220 go ahead\n"
               "S: 554 injected\n-- tls\n" + ehlo + "S: 250 hi inside\nC: MAIL FROM:<me@example.jp>\nS: 250 ok\n"
               "C: RCPT TO:<you@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\n-- client data\nS: 250 ok\n"
               "C: QUIT\nS: 221 bye\n-- close");
    EXPECT_EQ(SendFile(s, kMessage), SSmtpOutcome::Sent);
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

}  // namespace

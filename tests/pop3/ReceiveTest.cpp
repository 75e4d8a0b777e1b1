// Receiving from the real Dovecot and through scripted conversations: what
// lands in the inbox, what the server is told to delete, what the user is
// told, and how each failure ends the run.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <filesystem>

#include "Pop3TestSupport.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/SocketCodes.h"
#include "pop3/SReceiveRun.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "support/TestServers.h"

using namespace pop3test;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using qimtest::Sjis;
using namespace std::string_literals;

namespace {

std::string Text(unsigned id) { return LoadQimString(id); }

// A notice text with its values, as the user sees it.
std::string Text(unsigned id, std::vector<SNotice::Arg> args) { return NoticeText(SNotice::Program(id, std::move(args))); }

// Names in the inbox that are not mail files or the cache: leftovers.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n == "HCACHE.TXT" || n == "QIM.INI" || n.find_first_not_of("0123456789") == std::string::npos) continue;
        if (n.size() == 24 && n.rfind("UIDL", 0) == 0 && n.substr(20) == ".TXT") continue;  // the received ids
        names.push_back(n);
    }
    return names;
}

// The three messages of the main test, as the server holds them.
std::string JisMessage() {
    return "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
           "Subject: " + Jis("日本語の件名") + "\r\n"
           "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
           "\r\n" + Jis("本文です。") + "\r\n" + Jis("二行目") + "\r\n";
}
std::string DotMessage() {
    return "From: a@example.jp\r\nSubject: dots\r\n\r\n.leading dot\r\n..two dots\r\n.\r\nx\r\n. \r\nend\r\n";
}
// A 1 500-byte line whose byte after the reader's 1 024-byte piece is a dot:
// that dot is inside a line and must stay.
std::string LongLineMessage() {
    std::string line(1024, 'a');
    line += '.';
    line += std::string(1500 - line.size(), 'b');
    return "From: b@example.jp\r\nSubject: long\r\n\r\n" + line + "\r\n" + std::string(1024, 'c') + "\r\n.\r\n";
}

// ---- The real server ----

class DovecotReceive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        user = dovecot.NewUser();
        home.inet.userName = user;
        home.inet.pop3Port = dovecot.Pop3Port();
    }
    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    std::string user;
    Home home;
};

TEST_F(DovecotReceive, StoresEachMessageAsSentAfterUnstuffingAndInShiftJis) {
    dovecot.Deliver(user, JisMessage());
    dovecot.Deliver(user, DotMessage());
    dovecot.Deliver(user, LongLineMessage());
    qimtest::WriteFileBytes(home.dir.File("7"), "Subject: old\r\n\r\nold\r\n");
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultOk);
    EXPECT_EQ(r.outcome.firstNew, 8);
    EXPECT_EQ(r.outcome.lastNew, 10);
    EXPECT_FALSE(r.outcome.noNewMail);
    EXPECT_TRUE(r.seen.notices.empty()) << qimtest::Utf8(r.seen.notices[0]);
    EXPECT_EQ(r.seen.waiting, 3) << "the dialog is told when to play the new-mail sound";

    const std::string expectJis = "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
                                  "Subject: " + Sjis("日本語の件名") + "\r\n"
                                  "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                                  "\r\n" + Sjis("本文です。") + "\r\n" + Sjis("二行目") + "\r\n";
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("8")), expectJis);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("9")), DotMessage());
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("10")), LongLineMessage());
    EXPECT_TRUE(Leftovers(home.dir.Path()).empty());

    // The header list knows them, and they are new (unread).
    SMemCacheFolder box;
    box.SetFolder(home.dir.Path());
    std::vector<int> cached;
    for (const SQimMailData& m : box.Records()) cached.push_back(m.number);
    EXPECT_EQ(cached, (std::vector<int>{7, 8, 9, 10}));
    for (int n : {8, 9, 10}) EXPECT_EQ(box.GetMarks(n) & qimstore::kMarkRead, 0) << n;
    // The dialog's header lines saw the decoded From and Subject.
    EXPECT_NE(std::find(r.seen.subjects.begin(), r.seen.subjects.end(), Sjis("日本語の件名")), r.seen.subjects.end());
    EXPECT_NE(std::find(r.seen.froms.begin(), r.seen.froms.end(), Sjis("山田") + " <yamada@example.jp>"),
              r.seen.froms.end());
    EXPECT_TRUE(dovecot.Mailbox(user).empty());
}

TEST_F(DovecotReceive, WithDelMailsClearTheServerKeepsEverythingAndEachMessageIsStoredOnce) {
    dovecot.Deliver(user, DotMessage());
    dovecot.Deliver(user, LongLineMessage());
    home.settings.deleteOnServer = false;
    RunResult first = Receive(home);
    EXPECT_FALSE(first.outcome.failed);
    EXPECT_EQ(first.outcome.lastNew, 2);

    RunResult second = Receive(home);
    EXPECT_FALSE(second.outcome.failed);
    EXPECT_FALSE(second.outcome.Arrived()) << "nothing is stored twice";
    EXPECT_TRUE(second.outcome.noNewMail);
    EXPECT_NE(std::find(second.seen.statuses.begin(), second.seen.statuses.end(), Text(qimstr::NoNewMailOnServer)),
              second.seen.statuses.end());
    EXPECT_EQ(second.seen.waiting, -1) << "no new-mail sound for mail received before";

    // What arrives meanwhile comes with the next run, and only that.
    const std::string third = "From: c@example.jp\r\nSubject: third\r\n\r\nnew\r\n";
    dovecot.Deliver(user, third);
    RunResult next = Receive(home);
    EXPECT_FALSE(next.outcome.failed);
    EXPECT_EQ(next.outcome.firstNew, 3);
    EXPECT_EQ(next.outcome.lastNew, 3);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("3")), third);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), LongLineMessage());
    EXPECT_EQ(dovecot.Mailbox(user).size(), 3u);
}

TEST_F(DovecotReceive, LoginsWithUserPassAndApopAndRefusals) {
    struct Case {
        int apop;
        const char* password;
        int code;
    } cases[] = {{0, "secret", qimreq::LoginAccepted},
                 {1, "secret", qimreq::LoginAccepted},
                 {0, "wrong", qimreq::LoginRefused},
                 {1, "wrong", qimreq::LoginRefused}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("apop ") + std::to_string(c.apop) + " " + c.password);
        dovecot.Deliver(user, DotMessage());
        home.settings.useApop = c.apop;
        home.inet.password = c.password;
        const std::size_t before = dovecot.Mailbox(user).size();
        RunResult r = Receive(home);
        EXPECT_EQ(r.seen.logins, std::vector<int>{c.code});
        if (c.code == qimreq::LoginAccepted) {
            EXPECT_FALSE(r.outcome.failed);
            EXPECT_TRUE(r.outcome.Arrived());
            EXPECT_EQ(dovecot.Mailbox(user).size(), 0u);
        } else {
            // The application shows the refusal; the run ends after QUIT.
            EXPECT_TRUE(r.outcome.failed);
            EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
            EXPECT_EQ(r.seen.notices, std::vector<std::string>{Text(qimstr::ErrorAborting)});
            EXPECT_EQ(dovecot.Mailbox(user).size(), before);
        }
    }
}

TEST_F(DovecotReceive, NoMailOnServerIsReportedWithTheBeepItsSettingAsks) {
    for (bool beep : {true, false}) {
        home.settings.noNewMailBeep = beep;
        RunResult r = Receive(home);
        EXPECT_FALSE(r.outcome.failed);
        EXPECT_FALSE(r.outcome.Arrived());
        EXPECT_NE(std::find(r.seen.statuses.begin(), r.seen.statuses.end(), Text(qimstr::NoMailOnServer)),
                  r.seen.statuses.end());
        EXPECT_TRUE(r.outcome.noNewMail);
        EXPECT_EQ(r.outcome.beep, beep);
        EXPECT_EQ(r.seen.waiting, -1) << "no sound without mail";
    }
}

TEST_F(DovecotReceive, LoginCheckQuitsAfterTheLoginReply) {
    for (const char* pw : {"secret", "wrong"}) {
        dovecot.Deliver(user, DotMessage());
        home.inet.password = pw;
        int code = -1;
        Recorder seen;
        ConfirmPop3Login(home.inet, home.settings, [&code](int c) { code = c; }, seen);
        ASSERT_TRUE(qimtest::RunUntil([&] { return code != -1; }, 10000));
        EXPECT_EQ(code, std::string(pw) == "secret" ? qimreq::LoginAccepted : qimreq::LoginRefused);
        EXPECT_TRUE(qimtest::ReadFileBytes(home.dir.File("1")).empty()) << "a login check stores nothing";
    }
    EXPECT_EQ(dovecot.Mailbox(user).size(), 2u);
}

// ---- Scripted conversations ----

class ScriptedReceive : public ::testing::Test {
protected:
    Home home;
};

TEST_F(ScriptedReceive, ApopAgainstAGreetingWithoutTimestampSendsNothing) {
    home.settings.useApop = 1;
    Scenario s("S: +OK fake ready");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
    EXPECT_EQ(r.seen.notices, (std::vector<std::string>{Text(qimstr::ApopNoTimestamp), Text(qimstr::ErrorAborting)}));
    EXPECT_TRUE(s.ClientBytes().empty());
}

TEST_F(ScriptedReceive, ApopSendsTheDigestOfTheGreetingsTimeStamp) {
    home.settings.useApop = 1;
    Scenario s("S: +OK POP3 ready <1896.697170952@dbc.mtview.ca.us>\n"
               "C: APOP taro " + SPop3Conversation::ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "secret") + "\n"
               "S: +OK maildrop has 0 messages\n"
               "C: STAT\n"
               "S: +OK 0 0\n"
               "C: QUIT\n"
               "S: +OK\n"
               "-- close");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_EQ(r.seen.logins, std::vector<int>{qimreq::LoginAccepted});
}

TEST_F(ScriptedReceive, ConnectionLostInTheSecondMessageKeepsTheFirstAndNoPartialFile) {
    const std::string first = "Subject: one\r\n\r\nfirst\r\n";
    Scenario s(kLogin);
    // Replies arrive in pieces across reads, as a slow server sends them.
    s.Script("C: STAT\nS> +OK 2 \n-- cut\nS: 100");
    Retr(s, 1, first);
    s.Script("C: RETR 2\nS: +OK\nS: Subject: two\nS:\nS> half of the bo\n-- close");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_TRUE(r.outcome.failed) << "a cut connection is not a complete run";
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), first);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("2")));
    EXPECT_TRUE(Leftovers(home.dir.Path()).empty());
    EXPECT_FALSE(s.ClientSaid("DELE 2"));
    EXPECT_TRUE(r.seen.Noticed("Socket closed."));
    EXPECT_FALSE(r.outcome.noNewMail);
    // The stored mail is in the cache and new even though the run failed.
    SMemCacheFolder box;
    box.SetFolder(home.dir.Path());
    ASSERT_EQ(box.Records().size(), 1u);
    EXPECT_EQ(box.GetMarks(1) & qimstore::kMarkRead, 0);
}

TEST_F(ScriptedReceive, RefusedRetrLeavesNoFileAndQuitsWithTheServersReply) {
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 1 100\nC: RETR 1\nS: -ERR gone\nC: QUIT\nS: +OK\n-- close");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
    EXPECT_EQ(r.seen.notices, (std::vector<std::string>{Text(qimstr::RetrRefused, {1L, 1L, "-ERR gone"s}),
                                                        Text(qimstr::ErrorAborting)}));
}

TEST_F(ScriptedReceive, SilentServerTimesOutWithAMessage) {
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 1 100\nC: RETR 1\nS: +OK\nS: Subject: x\nS:\nS> then nothing");
    ScriptedSockets sockets(s);
    QElapsedTimer clock;
    clock.start();
    RunResult r = Receive(home, 400);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_TRUE(r.seen.Noticed(Text(qimstr::ReceiveTimedOut, {1L})));
    EXPECT_TRUE(Leftovers(home.dir.Path()).empty());
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
}

TEST_F(ScriptedReceive, SecondCloseRequestCutsAStalledConversation) {
    Scenario s(kLogin);
    s.Script("C: STAT");  // never answered
    ScriptedSockets sockets(s);
    Recorder seen;
    SPop3Conversation conversation(home.inet, home.settings, seen);
    conversation.SetInbox(home.dir.Path());
    conversation.Start();
    ASSERT_TRUE(qimtest::RunUntil([&] { return s.Finished(); }, 5000));
    EXPECT_FALSE(conversation.RequestClose()) << "the first request waits for the server";
    EXPECT_TRUE(conversation.RequestClose()) << "the second does not";
    EXPECT_EQ(conversation.GetState(), qimpop3::State::Idle);
    qimtest::RunFor(20);
    EXPECT_EQ(seen.ended, 1);
    EXPECT_TRUE(seen.failed);
}

// A close request while a long message arrives: that message is stored whole
// and, as every stored one, deleted on the server before QUIT, so the next run
// does not bring it again.
TEST_F(ScriptedReceive, CancelDuringAMessageStoresItDeletesItAndQuits) {
    for (bool delMails : {true, false}) {
        SCOPED_TRACE(delMails ? "DelMails" : "mail left on the server");
        Home home;
        home.settings.deleteOnServer = delMails;
        const std::string body(200000, 'a');
        const std::string message = "Subject: long\r\n\r\n" + body + "\r\n";
        Scenario s(kLogin);
        s.Script("C: STAT\nS: +OK 2 300000");
        if (!delMails) s.Script("C: UIDL\nS: +OK\nS: 1 first\nS: 2 second\nS: .");
        s.Script("C: RETR 1\nS: +OK\nS: Subject: long\nS:");
        s.Server(body.substr(0, 100000)).Delay(200).Server(body.substr(100000) + "\r\n.\r\n");
        if (delMails) s.Script("C: DELE 1\nS: +OK");
        s.Script("C: QUIT\nS: +OK\n-- close");
        ScriptedSockets sockets(s);
        Recorder seen;
        SPop3Conversation conversation(home.inet, home.settings, seen);
        conversation.SetInbox(home.dir.Path());
        conversation.Start();
        ASSERT_TRUE(qimtest::RunUntil([&] { return conversation.GetState() == qimpop3::State::ReceivingBody; }));
        EXPECT_FALSE(conversation.RequestClose());
        ASSERT_TRUE(qimtest::RunUntil([&] { return seen.ended > 0; }, 10000));
        EXPECT_FALSE(seen.failed);
        EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), message);
        EXPECT_FALSE(qimtest::FileExists(home.dir.File("2")));
    }
}

// A NUL is a byte like any other: nothing of its line, nor the line end after
// it, is lost, and the message is deleted only once stored whole.
TEST_F(ScriptedReceive, NulBytesAreStoredLikeEveryOtherByte) {
    std::string body;
    unsigned seed = 7;
    for (int line = 0; line < 100; ++line) {
        for (int i = 0; i < 100; ++i) {
            seed = seed * 1103515245u + 12345u;
            char c = static_cast<char>((seed >> 16) & 0xFF);
            if (c == '\r' || c == '\n' || c == 0x1B) c = '\0';  // no line ends, no JIS escapes
            body += c;
        }
        body += "\r\n";
    }
    const std::string message = "Subj\0ect: x\r\nFrom: a@example.jp\r\n\r\n"s + body;
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 1 10000");
    Retr(s, 1, message);
    s.Script("C: QUIT\nS: +OK");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    const std::string stored = qimtest::ReadFileBytes(home.dir.File("1"));
    EXPECT_EQ(stored.size(), message.size());
    EXPECT_TRUE(stored == message) << "the stored mail differs from the server's";
}

// A refused DELE: the stored mail stays, the conversation goes on with QUIT at
// once (so the deletions before it take effect) and says which mail stays.
TEST_F(ScriptedReceive, ARefusedDeleQuitsAtOnceAndNamesTheMessageLeft) {
    const std::vector<std::string> messages = {"Subject: 1\r\n\r\na\r\n", "Subject: 2\r\n\r\nb\r\n"};
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 3 100");
    Retr(s, 1, messages[0]);
    Retr(s, 2, messages[1], false);
    s.Script("C: DELE 2\nS: -ERR [IN-USE] locked\nC: QUIT\nS: +OK\n-- close");
    ScriptedSockets sockets(s);
    QElapsedTimer clock;
    clock.start();
    RunResult r = Receive(home);
    EXPECT_LT(clock.elapsed(), 5000) << "no waiting for the time-out";
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), messages[0]);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), messages[1]);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("3")));
    EXPECT_EQ(r.seen.notices, (std::vector<std::string>{Text(qimstr::DeleRefused, {2L, 3L, "-ERR [IN-USE] locked"s}),
                                                        Text(qimstr::ErrorAborting)}));
}

TEST_F(ScriptedReceive, AnUnknownHostAndARefusedConnectionFailClearly) {
    struct Case {
        const char* host;
        std::string script;
        std::string notice;
    } cases[] = {{"pop.example.invalid", "-- lookup " + std::to_string(platform::kWsaHostNotFound),
                  Text(qimstr::SocketError, {"Unable to get host address"s, "Host not found"s,
                                             static_cast<long>(platform::kWsaHostNotFound)})},
                 {"127.0.0.1", "-- refuse " + std::to_string(platform::kWsaEConnRefused),
                  Text(qimstr::SocketError, {"Unable to connect"s, "Connection refused"s,
                                             static_cast<long>(platform::kWsaEConnRefused)})}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        home.inet.pop3Server = c.host;
        Scenario s(c.script);
        ScriptedSockets sockets(s);
        RunResult r = Receive(home);
        EXPECT_TRUE(r.outcome.failed);
        EXPECT_EQ(r.seen.notices, std::vector<std::string>{c.notice});
        EXPECT_FALSE(r.outcome.noNewMail);
    }
}

TEST(ReceiveOutcome, TheEndOfARunDecidesWhatTheUserIsTold) {
    struct Case {
        const char* what;
        int result;
        bool failed, loginConfirmed, beepSetting;
        bool noNewMail, beep, exitRequested;
    } cases[] = {
        {"nothing came", qimpop3::kResultOk, false, true, true, true, true, false},
        {"nothing came, no beep wanted", qimpop3::kResultOk, false, true, false, true, false, false},
        {"a failed run says no more than its own notices", qimpop3::kResultOk, true, true, true, false, false, false},
        {"no login confirmed yet", qimpop3::kResultOk, false, false, true, false, false, false},
        {"a refused reply before any login", qimpop3::kResultCancel, true, false, true, false, false, true},
        {"a refused reply after a login", qimpop3::kResultCancel, true, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        Home home;
        home.settings.noNewMailBeep = c.beepSetting;
        SReceiveRun run(home.dir.Path(), home.inet, home.settings);
        run.Begin();
        const SReceiveOutcome o = run.Finish(c.result, c.failed, c.loginConfirmed);
        EXPECT_EQ(o.noNewMail, c.noNewMail) << c.what;
        EXPECT_EQ(o.beep, c.beep) << c.what;
        EXPECT_EQ(o.exitRequested, c.exitRequested) << c.what;
        EXPECT_FALSE(o.Arrived()) << c.what;
    }
}

TEST(ApopDigest, IsTheMd5OfTimestampAndPasswordInLowercaseHex) {
    EXPECT_EQ(SPop3Conversation::ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf"),
              "c4c9334bac560ecc979e58001b3e22fb");
}

TEST(ReceiveSettings, MenuCommandsToggleDelMailsAndApopBit) {
    SSettingData s;
    s.useApop = 2;
    EXPECT_FALSE(ToggleDeleteOnServer(s));
    EXPECT_TRUE(ToggleDeleteOnServer(s));
    EXPECT_TRUE(ToggleApop(s));
    EXPECT_EQ(s.useApop, 3);
    EXPECT_FALSE(ToggleApop(s));
    EXPECT_EQ(s.useApop, 2);
}

}  // namespace

// Receiving from the real Dovecot and from scripted servers: what lands in the
// inbox, what stays on the server, and how each failure ends the run.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>

#include "Pop3TestSupport.h"
#include "app/QimRequestCodes.h"
#include "app/QimStringIds.h"
#include "app/QimStrings.h"
#include "app/SLoginState.h"
#include "platform/ScriptedDialogService.h"
#include "pop3/SReceiveRun.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "support/EventLoop.h"
#include "support/TestServers.h"

using namespace pop3test;
using qimtest::Sjis;
using namespace std::string_literals;

namespace {

// Records what the conversation shows and the login codes it reports.
struct Recorder : SPop3Observer {
    std::vector<std::string> statuses, froms, subjects;
    std::vector<int> logins;
    void ShowStatus(const std::string& t) override { statuses.push_back(t); }
    void ShowFrom(const std::string& t) override { froms.push_back(t); }
    void ShowSubject(const std::string& t) override { subjects.push_back(t); }
    void ReportLogin(int code) override { logins.push_back(code); }
    void Ended(int, bool) override {}
};

std::vector<std::string> BoxTexts(const platform::ScriptedDialogService& dialogs) {
    std::vector<std::string> texts;
    for (const auto& b : dialogs.Boxes())
        if (b.kind == platform::RecordedBox::Kind::Message) texts.push_back(b.text);
    return texts;
}

bool HasBox(const platform::ScriptedDialogService& dialogs, const std::string& text) {
    for (const std::string& t : BoxTexts(dialogs))
        if (t.find(text) != std::string::npos) return true;
    return false;
}

// Names in the inbox that are not mail files or the cache: leftovers.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n == "HCACHE.TXT" || n == "QIM.INI" || n.find_first_not_of("0123456789") == std::string::npos) continue;
        names.push_back(n);
    }
    return names;
}

struct RunResult {
    SReceiveOutcome outcome;
    Recorder seen;
};

RunResult Receive(Home& home, platform::ScriptedDialogService& dialogs, SLoginState* login = nullptr,
                  int timeoutMs = 0) {
    platform::ScopedDialogService scoped(dialogs);
    SReceiveRun run(home.dir.Path(), home.inet, home.settings, login, dialogs);
    RunResult r;
    r.outcome = RunReceive(run, &r.seen, timeoutMs);
    return r;
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

class DovecotReceive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok()) << qimtest::ReadFileBytes(dovecot.Folder() + "/dovecot.log");
        dovecot.AddUser("taro", "secret");
        home.inet.pop3Port = dovecot.Pop3Port();
    }
    qimtest::DovecotServer dovecot;
    Home home;
    platform::ScriptedDialogService dialogs;
};

TEST_F(DovecotReceive, StoresEachMessageAsSentAfterUnstuffingAndInShiftJis) {
    dovecot.Deliver("taro", JisMessage());
    dovecot.Deliver("taro", DotMessage());
    dovecot.Deliver("taro", LongLineMessage());
    qimtest::WriteFileBytes(home.dir.File("7"), "Subject: old\r\n\r\nold\r\n");
    qimtest::WriteFileBytes(home.dir.File("QIM.INI"), "[Sound]\r\nNewMail=/sounds/new.wav\r\n");
    RunResult r = Receive(home, dialogs);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultOk);
    EXPECT_EQ(r.outcome.firstNew, 8);
    EXPECT_EQ(r.outcome.lastNew, 10);
    EXPECT_TRUE(BoxTexts(dialogs).empty()) << qimtest::Utf8(BoxTexts(dialogs)[0]);

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
    EXPECT_TRUE(dovecot.Mailbox("taro").empty());
    std::vector<std::string> sounds;
    for (const auto& b : dialogs.Boxes())
        if (b.kind == platform::RecordedBox::Kind::Sound) sounds.push_back(b.text);
    EXPECT_EQ(sounds, std::vector<std::string>{"/sounds/new.wav"});
}

TEST_F(DovecotReceive, WithDelMailsClearTheServerKeepsEverythingAndTwoRunsStoreTwice) {
    dovecot.Deliver("taro", DotMessage());
    dovecot.Deliver("taro", LongLineMessage());
    home.settings.deleteOnServer = false;
    EXPECT_FALSE(Receive(home, dialogs).outcome.failed);
    RunResult second = Receive(home, dialogs);
    EXPECT_FALSE(second.outcome.failed);
    EXPECT_EQ(second.outcome.firstNew, 3);
    EXPECT_EQ(second.outcome.lastNew, 4);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("4")), LongLineMessage());
    EXPECT_EQ(dovecot.Mailbox("taro").size(), 2u);
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
        dovecot.Deliver("taro", DotMessage());
        home.settings.useApop = c.apop;
        home.inet.password = c.password;
        dialogs.Clear();
        SLoginState login(home.inet);
        const std::size_t before = dovecot.Mailbox("taro").size();
        RunResult r = Receive(home, dialogs, &login);
        EXPECT_EQ(r.seen.logins, std::vector<int>{c.code});
        if (c.code == qimreq::LoginAccepted) {
            EXPECT_FALSE(r.outcome.failed);
            EXPECT_TRUE(login.Confirmed());
            EXPECT_TRUE(r.outcome.Arrived());
        } else {
            EXPECT_TRUE(r.outcome.failed);
            EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
            EXPECT_FALSE(login.Confirmed());
            EXPECT_TRUE(HasBox(dialogs, LoadQimString(qimstr::WrongPassword)));
            EXPECT_TRUE(home.inet.password.empty()) << "the refused password is forgotten";
            EXPECT_TRUE(r.outcome.exitRequested);
            EXPECT_EQ(dovecot.Mailbox("taro").size(), before);
        }
    }
}

TEST_F(DovecotReceive, NoMailOnServerSaysSoAndBeeps) {
    for (bool beep : {true, false}) {
        dialogs.Clear();
        home.settings.noNewMailBeep = beep;
        RunResult r = Receive(home, dialogs);
        EXPECT_FALSE(r.outcome.failed);
        EXPECT_FALSE(r.outcome.Arrived());
        EXPECT_NE(std::find(r.seen.statuses.begin(), r.seen.statuses.end(), LoadQimString(qimstr::NoMailOnServer)),
                  r.seen.statuses.end());
        EXPECT_TRUE(HasBox(dialogs, LoadQimString(qimstr::NoNewMail)));
        int beeps = 0;
        for (const auto& b : dialogs.Boxes()) beeps += b.kind == platform::RecordedBox::Kind::Beep;
        EXPECT_EQ(beeps, beep ? 1 : 0);
    }
}

TEST_F(DovecotReceive, LoginCheckQuitsAfterTheLoginReply) {
    for (const char* pw : {"secret", "wrong"}) {
        dovecot.Deliver("taro", DotMessage());
        home.inet.password = pw;
        int code = -1;
        ConfirmPop3Login(home.inet, home.settings, [&code](int c) { code = c; });
        QElapsedTimer clock;
        clock.start();
        while (code == -1 && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(code, std::string(pw) == "secret" ? qimreq::LoginAccepted : qimreq::LoginRefused);
        EXPECT_TRUE(qimtest::ReadFileBytes(home.dir.File("1")).empty()) << "a login check stores nothing";
    }
    EXPECT_EQ(dovecot.Mailbox("taro").size(), 2u);
}

TEST_F(DovecotReceive, SendersAskingForTheLoginGetTheCheckOutcome) {
    SLoginState login(home.inet);
    InstallPop3Authenticator(login, home.inet, home.settings);
    QObject asker;
    std::vector<bool> answers;
    login.Ask(&asker, 1, [&answers](int, bool confirmed) { answers.push_back(confirmed); });
    login.Ask(&asker, 2, [&answers](int, bool confirmed) { answers.push_back(confirmed); });
    QElapsedTimer clock;
    clock.start();
    while (answers.size() < 2 && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(answers, (std::vector<bool>{true, true}));
    EXPECT_TRUE(login.Confirmed());
}

// ---- Scripted servers ----

class ScriptedReceive : public ::testing::Test {
protected:
    void SetUp() override { home.inet.pop3Port = server.Port(); }
    Home home;
    FakePop3 server;
    platform::ScriptedDialogService dialogs;
};

FakePop3::Answer Standard(const std::string& line, const std::vector<std::string>& messages) {
    if (line.rfind("STAT", 0) == 0) return {"+OK " + std::to_string(messages.size()) + " 100\r\n"};
    if (line.rfind("RETR ", 0) == 0) {
        const std::size_t n = std::stoul(line.substr(5));
        return {"+OK\r\n" + messages.at(n - 1) + ".\r\n"};
    }
    return {"+OK\r\n"};
}

TEST_F(ScriptedReceive, ApopAgainstAGreetingWithoutTimestampSendsNothing) {
    home.settings.useApop = 1;
    RunResult r = Receive(home, dialogs);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
    EXPECT_EQ(BoxTexts(dialogs),
              (std::vector<std::string>{LoadQimString(qimstr::ApopNoTimestamp), LoadQimString(qimstr::ErrorAborting)}));
    EXPECT_TRUE(server.received.empty());
}

TEST_F(ScriptedReceive, ConnectionLostInTheSecondMessageKeepsTheFirstAndNoPartialFile) {
    const std::vector<std::string> messages = {"Subject: one\r\n\r\nfirst\r\n", "Subject: two\r\n\r\nsecond\r\n"};
    server.answer = [&](const std::string& line) -> FakePop3::Answer {
        if (line == "RETR 2") return {"+OK\r\nSubject: two\r\n\r\nhalf of the bo", true};
        return Standard(line, messages);
    };
    RunResult r = Receive(home, dialogs);
    EXPECT_TRUE(r.outcome.failed) << "a cut connection is not a complete run";
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), messages[0]);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("2")));
    EXPECT_TRUE(Leftovers(home.dir.Path()).empty());
    EXPECT_TRUE(server.Has("DELE 1"));
    EXPECT_FALSE(server.Has("DELE 2"));
    EXPECT_TRUE(HasBox(dialogs, "Socket closed."));
    EXPECT_FALSE(HasBox(dialogs, LoadQimString(qimstr::NoNewMail)));
    // The stored mail is in the cache and new even though the run failed.
    SMemCacheFolder box;
    box.SetFolder(home.dir.Path());
    ASSERT_EQ(box.Records().size(), 1u);
    EXPECT_EQ(box.GetMarks(1) & qimstore::kMarkRead, 0);
}

TEST_F(ScriptedReceive, RefusedRetrLeavesNoFileAndSendsNoDele) {
    server.answer = [&](const std::string& line) -> FakePop3::Answer {
        if (line == "RETR 1") return {"-ERR gone\r\n"};
        return Standard(line, {"Subject: x\r\n\r\ny\r\n"});
    };
    RunResult r = Receive(home, dialogs);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
    EXPECT_FALSE(server.Has("DELE 1"));
    EXPECT_EQ(server.received.back(), "QUIT") << "still in step with the server: it is told to end";
    char named[1024];
    std::snprintf(named, sizeof named, LoadQimString(qimstr::RetrRefused).c_str(), 1, 1, "-ERR gone");
    EXPECT_EQ(BoxTexts(dialogs), (std::vector<std::string>{named, LoadQimString(qimstr::ErrorAborting)}));
}

TEST_F(ScriptedReceive, SilentServerTimesOutWithAMessage) {
    server.answer = [](const std::string& line) -> FakePop3::Answer {
        if (line == "RETR 1") return {"+OK\r\nSubject: x\r\n\r\nthen nothing"};
        return Standard(line, {"x"});
    };
    QElapsedTimer clock;
    clock.start();
    RunResult r = Receive(home, dialogs, nullptr, 400);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(r.outcome.failed);
    char expected[512];
    std::snprintf(expected, sizeof expected, LoadQimString(qimstr::ReceiveTimedOut).c_str(), 1);
    EXPECT_TRUE(HasBox(dialogs, expected));
    EXPECT_TRUE(Leftovers(home.dir.Path()).empty());
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
}

TEST_F(ScriptedReceive, SecondCloseRequestCutsAStalledConversation) {
    server.answer = [](const std::string& line) -> FakePop3::Answer {
        if (line == "STAT") return {""};  // never answers
        return {"+OK\r\n"};
    };
    platform::ScopedDialogService scoped(dialogs);
    struct Ends : Recorder {
        int ended = 0;
        bool failed = false;
        void Ended(int, bool f) override {
            ++ended;
            failed = f;
        }
    } ends;
    SPop3Conversation conversation(home.inet, home.settings, ends);
    conversation.SetInbox(home.dir.Path());
    conversation.Start();
    QElapsedTimer clock;
    clock.start();
    while (!server.Has("STAT") && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_TRUE(server.Has("STAT"));
    EXPECT_FALSE(conversation.RequestClose()) << "the first request waits for the server";
    EXPECT_TRUE(conversation.RequestClose()) << "the second does not";
    EXPECT_EQ(conversation.GetState(), qimpop3::State::Idle);
    QCoreApplication::processEvents();
    EXPECT_EQ(ends.ended, 1);
    EXPECT_TRUE(ends.failed);
}

// The first close request while a message arrives: that message is stored
// whole and, as every stored one, deleted on the server before QUIT, so the
// next run does not bring it again.
TEST_F(ScriptedReceive, CancelDuringAMessageStoresItDeletesItAndQuits) {
    for (bool delMails : {true, false}) {
        SCOPED_TRACE(delMails ? "DelMails" : "mail left on the server");
        Home home;
        FakePop3 server;
        home.inet.pop3Port = server.Port();
        home.settings.deleteOnServer = delMails;
        const std::vector<std::string> messages = {
            "Subject: long\r\n\r\n" + std::string(200000, 'a') + "\r\n", "Subject: two\r\n\r\n2\r\n"};
        FakeMailbox mailbox(messages);
        SPop3Conversation* running = nullptr;
        mailbox.special = [&](const std::string& line, FakePop3::Answer&) {
            if (line == "RETR 1" && running) running->RequestClose();
            return false;
        };
        mailbox.Serve(server);
        platform::ScopedDialogService scoped(dialogs);
        struct Ends : Recorder {
            bool done = false, failed = true;
            void Ended(int, bool f) override {
                done = true;
                failed = f;
            }
        } ends;
        SPop3Conversation conversation(home.inet, home.settings, ends);
        running = &conversation;
        conversation.SetInbox(home.dir.Path());
        conversation.Start();
        ASSERT_TRUE(qimtest::RunUntil([&] { return ends.done; }, 10000));
        EXPECT_FALSE(ends.failed);
        EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), messages[0]);
        EXPECT_FALSE(qimtest::FileExists(home.dir.File("2")));
        EXPECT_FALSE(server.Has("RETR 2"));
        EXPECT_EQ(server.received.back(), "QUIT");
        EXPECT_EQ(mailbox.messages, delMails ? std::vector<std::string>{messages[1]} : messages);
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
    FakeMailbox mailbox({message});
    mailbox.Serve(server);
    RunResult r = Receive(home, dialogs);
    EXPECT_FALSE(r.outcome.failed);
    const std::string stored = qimtest::ReadFileBytes(home.dir.File("1"));
    EXPECT_EQ(stored.size(), message.size());
    EXPECT_TRUE(stored == message) << "the stored mail differs from the server's";
    EXPECT_TRUE(mailbox.messages.empty());
}

// A refused DELE: the stored mail stays, the conversation goes on with QUIT at
// once (so the deletions before it take effect) and says which mail stays.
TEST_F(ScriptedReceive, ARefusedDeleQuitsAtOnceAndNamesTheMessageLeft) {
    const std::vector<std::string> messages = {"Subject: 1\r\n\r\na\r\n", "Subject: 2\r\n\r\nb\r\n",
                                               "Subject: 3\r\n\r\nc\r\n"};
    FakeMailbox mailbox(messages);
    mailbox.special = [](const std::string& line, FakePop3::Answer& answer) {
        if (line != "DELE 2") return false;
        answer.bytes = "-ERR [IN-USE] locked\r\n";
        return true;
    };
    mailbox.Serve(server);
    QElapsedTimer clock;
    clock.start();
    RunResult r = Receive(home, dialogs);
    EXPECT_LT(clock.elapsed(), 5000) << "no waiting for the time-out";
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), messages[0]);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), messages[1]);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("3")));
    EXPECT_EQ(server.received.back(), "QUIT");
    EXPECT_EQ(mailbox.messages, (std::vector<std::string>{messages[1], messages[2]}));
    char named[1024];
    std::snprintf(named, sizeof named, LoadQimString(qimstr::DeleRefused).c_str(), 2, 3, "-ERR [IN-USE] locked");
    EXPECT_EQ(BoxTexts(dialogs), (std::vector<std::string>{named, LoadQimString(qimstr::ErrorAborting)}));
}

TEST(ReceiveConnect, UnknownHostAndRefusedConnectionFailClearly) {
    struct Case {
        const char* host;
        bool closedPort;
        const char* box;
    } cases[] = {{"no-such-host.invalid", false, "Unable to get host address"}, {"127.0.0.1", true, "Unable to connect"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        Home home;
        home.inet.pop3Server = c.host;
        home.inet.pop3Port = 110;
        if (c.closedPort) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            home.inet.pop3Port = probe.serverPort();
        }  // closed again here: nothing listens on that port any more
        platform::ScriptedDialogService dialogs;
        RunResult r = Receive(home, dialogs);
        EXPECT_TRUE(r.outcome.failed);
        EXPECT_TRUE(HasBox(dialogs, c.box));
        EXPECT_FALSE(HasBox(dialogs, LoadQimString(qimstr::NoNewMail)));
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

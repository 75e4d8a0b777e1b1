// Receiving while mail stays on the server: the unique ids the server lists
// decide what is retrieved, the account's record of received ids survives a
// cancelled run, and neither a hostile listing nor a damaged record is trusted.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "Pop3TestSupport.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "pop3/SKnownUidls.h"
#include "pop3/SReceiveRun.h"
#include "support/TestServers.h"

using namespace pop3test;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using namespace std::string_literals;

namespace {

std::string Text(unsigned id, std::vector<SNotice::Arg> args = {}) {
    return NoticeText(SNotice::Program(id, std::move(args)));
}

SKnownUidls Record(Home& home) {
    return SKnownUidls(home.dir.Path(), home.inet.userName, home.inet.pop3Server, home.inet.pop3Port);
}

// The record as it is on disk for the account of Home, with `ids`.
std::string RecordBytes(const std::vector<std::string>& ids) {
    std::string bytes = "QimUidl\ttaro\t127.0.0.1\t110\r\n";
    for (const std::string& id : ids) bytes += id + "\r\n";
    return bytes;
}

std::string Message(int n) { return "Subject: m" + std::to_string(n) + "\r\n\r\nbody " + std::to_string(n) + "\r\n"; }

// ---- The real server ----

class DovecotUidl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        user = dovecot.NewUser();
        home.inet.userName = user;
        home.inet.pop3Port = dovecot.Pop3Port();
        home.settings.deleteOnServer = false;
    }
    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    std::string user;
    Home home;
};

TEST_F(DovecotUidl, ACancelledReceiveThenASecondOneStoreEachMessageOnce) {
    const std::string big = "Subject: big\r\n\r\n" + std::string(3000000, 'x') + "\r\n";
    const std::vector<std::string> messages = {big, Message(2), Message(3)};
    for (const std::string& m : messages) dovecot.Deliver(user, m);

    Recorder seen;
    {
        SReceiveRun run(home.dir.Path(), home.inet, home.settings);
        run.Begin();
        SPop3Conversation conversation(home.inet, home.settings, seen);
        conversation.SetInbox(home.dir.Path());
        conversation.Start();
        ASSERT_TRUE(qimtest::RunUntil([&] { return conversation.GetState() == qimpop3::State::ReceivingBody; }));
        EXPECT_FALSE(conversation.RequestClose()) << "the message under way is finished first";
        ASSERT_TRUE(qimtest::RunUntil([&] { return seen.ended > 0; }, 30000));
        run.Finish(seen.result, seen.failed, true);
    }
    EXPECT_FALSE(seen.failed);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), big);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("2")));

    RunResult second = Receive(home);
    EXPECT_FALSE(second.outcome.failed);
    EXPECT_EQ(second.outcome.firstNew, 2);
    EXPECT_EQ(second.outcome.lastNew, 3);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), messages[1]);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("3")), messages[2]);
    EXPECT_EQ(dovecot.Mailbox(user).size(), 3u);
    SKnownUidls record = Record(home);
    ASSERT_EQ(record.Load(), SKnownUidls::LoadResult::Loaded);
    EXPECT_EQ(record.Size(), 3u);
}

// ---- Scripted servers ----

class ScriptedUidl : public ::testing::Test {
protected:
    void SetUp() override { home.settings.deleteOnServer = false; }
    std::string RecordPath() { return home.dir.File(SKnownUidls::FileNameFor("taro", "127.0.0.1", 110)); }
    Home home;
};

TEST_F(ScriptedUidl, AServerWithoutUidlHasEveryMessageRetrievedAsBefore) {
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 2 100\nC: UIDL\nS: -ERR unknown command");
    Retr(s, 1, Message(1), false);
    Retr(s, 2, Message(2), false);
    s.Script("C: QUIT\nS: +OK\n-- close");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_TRUE(r.seen.notices.empty());
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), Message(1));
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), Message(2));
    EXPECT_FALSE(qimtest::FileExists(RecordPath())) << "nothing to record without ids";
}

TEST_F(ScriptedUidl, KnownIdsAreSkippedAndIdsTheServerNoLongerHasAreForgotten) {
    qimtest::WriteFileBytes(RecordPath(), RecordBytes({"gone1", "b", "gone2"}));
    Scenario s(kLogin);
    // The listing comes in pieces, one of them ending inside a line.
    s.Script("C: STAT\nS: +OK 3 100\nC: UIDL\nS: +OK\nS: 1 b\nS> 2 \n-- cut\nS: c\nS: 3 d\nS: .");
    Retr(s, 2, Message(2), false);
    Retr(s, 3, Message(3), false);
    s.Script("C: QUIT\nS: +OK\n-- close");
    {
        ScriptedSockets sockets(s);
        RunResult r = Receive(home);
        EXPECT_FALSE(r.outcome.failed);
        EXPECT_EQ(r.outcome.lastNew, 2);
        EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), Message(2));
        EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("2")), Message(3));
        EXPECT_EQ(qimtest::ReadFileBytes(RecordPath()), RecordBytes({"b", "c", "d"}));
    }

    // All of it known: nothing retrieved, the user told there is nothing new.
    Scenario again(kLogin);
    again.Script("C: STAT\nS: +OK 1 10\nC: UIDL\nS: +OK\nS: 1 d\nS: .\nC: QUIT\nS: +OK\n-- close");
    ScriptedSockets sockets(again);
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_TRUE(r.outcome.noNewMail);
    EXPECT_NE(std::find(r.seen.statuses.begin(), r.seen.statuses.end(), LoadQimString(qimstr::NoNewMailOnServer)),
              r.seen.statuses.end());
    EXPECT_EQ(qimtest::ReadFileBytes(RecordPath()), RecordBytes({"d"}));
}

// With mail deleted on the server no ids are asked for (a scenario fails on
// any line it does not expect).
TEST_F(ScriptedUidl, WithDelMailsNoIdsAreAskedForNorRecorded) {
    home.settings.deleteOnServer = true;
    Scenario s(kLogin);
    s.Script("C: STAT\nS: +OK 1 100");
    Retr(s, 1, Message(1));
    s.Script("C: QUIT\nS: +OK\n-- close");
    ScriptedSockets sockets(s);
    RunResult r = Receive(home);
    EXPECT_FALSE(r.outcome.failed);
    EXPECT_FALSE(qimtest::FileExists(RecordPath()));
}

// A listing that breaks the protocol's rules stops the run before anything is
// retrieved: a wrong or repeated id could hide a message for good. The record
// stays as it was.
TEST_F(ScriptedUidl, AHostileListingStopsTheRunAndLeavesTheRecordAlone) {
    const std::string huge = "1 " + std::string(5000, 'a');
    const struct Case {
        const char* what;
        std::vector<std::string> lines;  // the last one is the bad one
    } cases[] = {
        {"a line longer than any listing line", {huge}},
        {"message number zero", {"0 a"}},
        {"a number beyond the count", {"1 a", "3 c"}},
        {"not a number", {"x a"}},
        {"a signed number", {"+1 a"}},
        {"a negative number", {"-1 a"}},
        {"a number that overflows", {"99999999999999999999 a"}},
        {"the same number twice", {"1 a", "1 b"}},
        {"the same id twice", {"1 a", "2 a"}},
        {"a control character in the id", {"1 a\x01z"}},
        {"DEL in the id", {"1 a\x7fz"}},
        {"an eight-bit byte in the id", {"1 a\xe9z"}},
        {"an id longer than 70 bytes", {"1 " + std::string(71, 'i')}},
        {"no id", {"1"}},
        {"a third token", {"1 a b"}},
        {"an empty line", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qimtest::WriteFileBytes(RecordPath(), RecordBytes({"old"}));
        Scenario s(kLogin);
        s.Script("C: STAT\nS: +OK 2 100\nC: UIDL\nS: +OK");
        for (const std::string& line : c.lines) s.Server(line + "\r\n");
        ScriptedSockets sockets(s);
        RunResult r = Receive(home);
        EXPECT_TRUE(r.outcome.failed);
        EXPECT_EQ(r.outcome.result, qimpop3::kResultCancel);
        ASSERT_EQ(r.seen.notices.size(), 2u);
        EXPECT_EQ(r.seen.notices[0].rfind(Text(qimstr::UidlReplyBroken, {""s}), 0), 0u) << qimtest::Utf8(r.seen.notices[0]);
        EXPECT_LE(r.seen.notices[0].size(), 400u) << "a huge reply is quoted short";
        EXPECT_EQ(r.seen.notices[1], Text(qimstr::ErrorAborting));
        EXPECT_FALSE(s.ClientSaid("RETR 1"));
        EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
        EXPECT_EQ(qimtest::ReadFileBytes(RecordPath()), RecordBytes({"old"}));
    }
}

// A record that was not written here is not trusted in part: the run stops
// before UIDL, says which file it is, and leaves it for the user.
TEST_F(ScriptedUidl, ADamagedRecordStopsTheRunAndNamesTheFile) {
    const struct Case {
        const char* what;
        std::string bytes;
        bool directory = false;
    } cases[] = {
        {"another account's first line", "QimUidl\tjiro\t127.0.0.1\t110\r\na\r\n"},
        {"no first line at all", "a\r\nb\r\n"},
        {"a control character in an id", RecordBytes({"a", "b\x1b" "c"})},
        {"a line break in the middle of an id", RecordBytes({"a"}) + "b\nc\r\n"},
        {"a last line without its end", RecordBytes({"a"}) + "b"},
        {"NUL bytes", RecordBytes({"a"}) + std::string(8, '\0') + "\r\n"},
        {"a folder in its place", "", true},
        {"larger than any record", std::string(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Home home;
        home.settings.deleteOnServer = false;
        const std::string path = home.dir.File(SKnownUidls::FileNameFor("taro", "127.0.0.1", 110));
        if (c.directory) {
            std::filesystem::create_directory(path);
        } else if (c.bytes.empty()) {
            qimtest::WriteFileBytes(path, RecordBytes({"a"}));
            std::filesystem::resize_file(path, SKnownUidls::kMaxFileSize + 1);
        } else {
            qimtest::WriteFileBytes(path, c.bytes);
        }
        const std::uintmax_t before = c.directory ? 0 : std::filesystem::file_size(path);
        Scenario s(kLogin);
        s.Script("C: STAT\nS: +OK 1 100\nC: QUIT\nS: +OK\n-- close");
        ScriptedSockets sockets(s);
        RunResult r = Receive(home);
        EXPECT_TRUE(r.outcome.failed);
        EXPECT_EQ(r.seen.notices, (std::vector<std::string>{Text(qimstr::UidlFileBroken, {path}),
                                                            Text(qimstr::ErrorAborting)}));
        EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
        if (!c.directory) {
            EXPECT_EQ(std::filesystem::file_size(path), before);
        }
    }
}

// ---- The record itself ----

TEST(KnownUidls, EachAccountHasItsOwnFileInsideTheFolderWhateverItsNames) {
    qimtest::TempDir dir;
    const std::regex form("UIDL[0-9A-F]{16}\\.TXT");
    const struct Account {
        std::string user, server;
        int port;
    } accounts[] = {{"taro", "pop.example.jp", 110},   {"taro", "pop.example.jp", 995},
                    {"jiro", "pop.example.jp", 110},   {"taro", "mail.example.jp", 110},
                    {"../../etc/passwd", "/tmp", 110}, {"a/b\r\nc", "..", 1},
                    {"", "", 0},                       {"taro@pop.example.jp", "", 110}};
    std::set<std::string> names;
    for (const Account& a : accounts) {
        const std::string name = SKnownUidls::FileNameFor(a.user, a.server, a.port);
        EXPECT_TRUE(std::regex_match(name, form)) << name;
        names.insert(name);
        SKnownUidls record(dir.Path(), a.user, a.server, a.port);
        record.Add("id-1");
        ASSERT_TRUE(record.Save()) << a.user;
        EXPECT_EQ(record.Path(), dir.File(name));
    }
    EXPECT_EQ(names.size(), std::size(accounts)) << "no two accounts share a record";
    EXPECT_EQ(SKnownUidls::FileNameFor("taro", "POP.Example.JP", 110), SKnownUidls::FileNameFor("taro", "pop.example.jp", 110))
        << "host names are the same in any case";
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, std::size(accounts)) << "nothing was written anywhere else in the folder";

    // Each reads back as its own, even the one whose names hold line breaks.
    SKnownUidls hostile(dir.Path(), "a/b\r\nc", "..", 1);
    ASSERT_EQ(hostile.Load(), SKnownUidls::LoadResult::Loaded);
    EXPECT_TRUE(hostile.Contains("id-1"));
}

TEST(KnownUidls, ASaveReplacesTheFileWholeAndALoadClearsAnInterruptedSave) {
    qimtest::TempDir dir;
    SKnownUidls record(dir.Path(), "taro", "127.0.0.1", 110);
    EXPECT_EQ(record.Load(), SKnownUidls::LoadResult::NoFile);
    for (const char* id : {"b", "a", "c", "a"}) record.Add(id);
    EXPECT_TRUE(record.KeepOnly({"a", "c", "x"}));
    EXPECT_FALSE(record.KeepOnly({"a", "c"}));
    ASSERT_TRUE(record.Save());
    EXPECT_EQ(qimtest::ReadFileBytes(record.Path()), RecordBytes({"a", "c"}));
    EXPECT_EQ(qimtest::FileMode(record.Path()) & 0777, 0600u) << "the ids are the user's business";

    // What a process killed between writing and renaming leaves beside it.
    const std::string leftover = record.Path() + ".Ab3xY9";
    qimtest::WriteFileBytes(leftover, "QimUidl\thalf");
    const std::string unrelated = record.Path() + ".bak";
    qimtest::WriteFileBytes(unrelated, "kept");
    SKnownUidls again(dir.Path(), "taro", "127.0.0.1", 110);
    ASSERT_EQ(again.Load(), SKnownUidls::LoadResult::Loaded);
    EXPECT_TRUE(again.Contains("a") && again.Contains("c") && !again.Contains("b"));
    EXPECT_FALSE(qimtest::FileExists(leftover));
    EXPECT_TRUE(qimtest::FileExists(unrelated));
}

}  // namespace

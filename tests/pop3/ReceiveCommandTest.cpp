// qimtool receive against the real Dovecot: the whole run without windows,
// a disk that fills up while a message is written, and a process killed in
// the middle of a run that leaves mail on the server.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "config/QimGlobals.h"
#include "config/SUserInetData.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

using qimtest::ReadFileBytes;

std::string Ini(const std::string& user, int port, bool delMails) {
    return "[Host]\r\nUserName=" + user + "\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\n"
           "POP3Port=" + std::to_string(port) + "\r\nClientAddr=localhost\r\n[Qim]\r\nDelMails=" +
           (delMails ? "1" : "0") + "\r\n";
}

struct ToolRun {
    int status = -1;
    std::string err;
};

// `prefix` runs in the shell before qimtool (limits, traps).
ToolRun Receive(const std::string& home, const std::string& password, const std::string& prefix = "",
            const std::string& extra = "") {
    const std::string errFile = home + ".err";
    ToolRun r;
    qimtest::RunCommand("bash -c '" + prefix + " QIM_PASSWORD=" + password + " exec " + qimtest::BuiltProgram("qimtool") +
                            " receive --home " + home + extra + " </dev/null 2>" + errFile + "'",
                        &r.status);
    r.err = ReadFileBytes(errFile);
    std::filesystem::remove(errFile);
    return r;
}

class ReceiveCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok());
        user = dovecot.NewUser();
        home = dir.File("home");
        std::filesystem::create_directory(home);
    }
    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    std::string user;
    qimtest::TempDir dir;
    std::string home;
};

TEST_F(ReceiveCommand, StoresTheMailboxAndReportsOnStandardError) {
    dovecot.Deliver(user, "From: a@example.jp\r\nSubject: one\r\n\r\n..dot\r\n");
    dovecot.Deliver(user, "From: b@example.jp\r\nSubject: two\r\n\r\nbody\r\n");
    qimtest::WriteFileBytes(home + "/QIM.INI", Ini(user, dovecot.Pop3Port(), true));
    ToolRun r = Receive(home, "secret");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(home + "/1"), "From: a@example.jp\r\nSubject: one\r\n\r\n..dot\r\n");
    EXPECT_EQ(ReadFileBytes(home + "/2"), "From: b@example.jp\r\nSubject: two\r\n\r\nbody\r\n");
    EXPECT_NE(r.err.find("メールの受信開始..."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 通受信しました"), std::string::npos) << r.err;
    EXPECT_NE(ReadFileBytes(home + "/HCACHE.TXT").find("two"), std::string::npos);
    EXPECT_TRUE(dovecot.Mailbox(user).empty());

    // A wrong password: the message box text, exit 1, nothing deleted.
    dovecot.Deliver(user, "Subject: three\r\n\r\nx\r\n");
    r = Receive(home, "wrong");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("パスワードが違います。"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("エラーです。中止します。"), std::string::npos) << r.err;
    EXPECT_EQ(dovecot.Mailbox(user).size(), 1u);

    EXPECT_EQ(Receive(home, "secret", "", " extra").status, 2);
}

TEST_F(ReceiveCommand, WithTheOptionOnTheNewMailIsSortedByTheFirstRuleSet) {
    dovecot.Deliver(user, "From: a@example.jp\r\nSubject: [ml] one\r\n\r\nx\r\n");
    dovecot.Deliver(user, "From: b@example.jp\r\nSubject: two\r\n\r\ny\r\n");
    std::filesystem::create_directory(home + "/ml");
    const std::string rules = "[QimMoveFiles]\r\nNum=1\r\nHeaderType0=1\r\nPosType0=1\r\nIn0=\"[ml]\"\r\n"
                              "Dest0=\"ml\"\r\n";
    qimtest::WriteFileBytes(home + "/QIM.INI", Ini(user, dovecot.Pop3Port(), true) + "SortAfterReceive=1\r\n" + rules);
    const ToolRun r = Receive(home, "secret");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("自動振り分けで 1 通を移しました。"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(home + "/ml/1"), "From: a@example.jp\r\nSubject: [ml] one\r\n\r\nx\r\n");
    EXPECT_FALSE(qimtest::FileExists(home + "/1"));
    EXPECT_EQ(ReadFileBytes(home + "/2"), "From: b@example.jp\r\nSubject: two\r\n\r\ny\r\n");
    // Both caches list what their folders hold.
    EXPECT_EQ(ReadFileBytes(home + "/HCACHE.TXT").find("[ml] one"), std::string::npos);
    EXPECT_NE(ReadFileBytes(home + "/HCACHE.TXT").find("two"), std::string::npos);
    EXPECT_NE(ReadFileBytes(home + "/ml/HCACHE.TXT").find("[ml] one"), std::string::npos);

    // A rule whose destination is gone: the mail stays in the inbox and the user is told.
    dovecot.Deliver(user, "From: c@example.jp\r\nSubject: [ml] three\r\n\r\nz\r\n");
    std::filesystem::remove_all(home + "/ml");
    const ToolRun missing = Receive(home, "secret");
    EXPECT_EQ(missing.status, 0) << missing.err;
    EXPECT_NE(missing.err.find("が存在しません。スキップします。"), std::string::npos) << missing.err;
    EXPECT_TRUE(qimtest::FileExists(home + "/3"));
}

// Whether this machine lets a test mount a small file system of its own.
bool CanMountTmpfs(const std::string& dir) {
    int status = -1;
    qimtest::RunCommand("unshare -m bash -c 'mount -t tmpfs -o size=64k qimtest " + dir + "' 2>&1", &status);
    return status == 0;
}

// A message that does not fit: it stays on the server with those after it,
// the ones stored before it are deleted there (the run ends with QUIT), no
// part of it is left in the inbox, and the user is told why.
TEST_F(ReceiveCommand, AMessageThatDoesNotFitStaysOnTheServerAndTheRunEndsWithQuit) {
    const struct Case {
        const char* name;
        bool tmpfs;        // a full file system; else files may not grow past 16 KB
        std::size_t size;  // of the big message
    } cases[] = {{"fails when flushed", false, 64000}, {"fails while it arrives", false, 1 << 20},
                 {"full disk", true, 1 << 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string user = dovecot.NewUser();
        const std::string inbox = dir.File(user);
        std::filesystem::create_directory(inbox);
        if (c.tmpfs && !CanMountTmpfs(inbox)) {
            std::fprintf(stderr, "no tmpfs can be mounted here: the full-disk case is left out\n");
            continue;
        }
        const std::string small = "Subject: small\r\n\r\nfits\r\n";
        std::string big = "Subject: big\r\n\r\n";
        while (big.size() < c.size) big += std::string(78, 'x') + "\r\n";
        const std::string after = "Subject: after\r\n\r\nnot reached\r\n";
        for (const std::string& m : {small, big, after}) dovecot.Deliver(user, m);
        const std::string ini = Ini(user, dovecot.Pop3Port(), true);
        const std::string iniFile = dir.File(user + ".ini");
        qimtest::WriteFileBytes(iniFile, ini);

        // The inbox is looked at from outside the mount through a copy.
        const std::string seen = dir.File(user + ".seen");
        std::filesystem::create_directory(seen);
        // The limit is qimtool's alone: its messages reach the file through a pipe.
        const std::string limit = c.tmpfs ? "" : "ulimit -f 16; ";
        const std::string run = "trap \"\" XFSZ; (" + limit + "QIMINI=" + iniFile + " QIM_PASSWORD=secret exec " +
                                qimtest::BuiltProgram("qimtool") + " receive --home " + inbox +
                                " </dev/null) 2>&1 >/dev/null | cat >" + seen + ".err; s=${PIPESTATUS[0]}; cp -a " +
                                inbox + "/. " + seen + "/; exit $s";
        int status = -1;
        if (c.tmpfs)
            qimtest::RunCommand("unshare -m bash -c 'mount -t tmpfs -o size=128k qimtest " + inbox + " && " + run + "'",
                                &status);
        else
            qimtest::RunCommand("bash -c '" + run + "'", &status);
        const std::string err = ReadFileBytes(seen + ".err");

        EXPECT_EQ(status, 1) << err;
        EXPECT_NE(err.find("受信メール用に書き込みができません("), std::string::npos) << err;
        EXPECT_NE(err.find("このメールはサーバーに残り、次の受信で届きます。"), std::string::npos) << err;
        if (c.tmpfs) {
            EXPECT_NE(err.find("ディスクの空きが足りません。"), std::string::npos) << err;
        }
        EXPECT_EQ(err.find("何か変です。"), std::string::npos) << err;
        EXPECT_EQ(ReadFileBytes(seen + "/1"), small);
        for (const auto& e : std::filesystem::directory_iterator(seen)) {
            const std::string n = e.path().filename().string();
            EXPECT_TRUE(n == "1" || n == "HCACHE.TXT") << "left in the inbox: " << n;
        }
        const std::vector<std::string> left = dovecot.Mailbox(user);
        EXPECT_EQ(left.size(), 2u);
        EXPECT_TRUE(left == (std::vector<std::string>{big, after})) << "the big one and the one after it stay";
    }
}

TEST_F(ReceiveCommand, APasswordSavedInTheSettingsComesFirst) {
    dovecot.Deliver(user, "Subject: saved\r\n\r\nx\r\n");
    std::string ini = Ini(user, dovecot.Pop3Port(), true);
    ini.insert(ini.find("ClientAddr"), "PasswdSave=1\r\n");
    qimtest::WriteFileBytes(home + "/QIM.INI", ini);
    SetQimIniPath(home + "/QIM.INI");
    SUserInetData saved;
    saved.Read();
    saved.password = "secret";
    ASSERT_TRUE(saved.Write());
    ToolRun r = Receive(home, "wrong");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(home + "/1"), "Subject: saved\r\n\r\nx\r\n");
}

// Killed with SIGKILL while messages arrive, then run again: every message is
// in the inbox, none is lost; at most the one whose id was being recorded when
// the process died comes twice.
TEST_F(ReceiveCommand, AReceiveKilledInTheMiddleLosesNothingWhenRunAgain) {
    constexpr int kCount = 40;
    std::vector<std::string> messages;
    for (int i = 1; i <= kCount; ++i) {
        std::string m = "Subject: n" + std::to_string(i) + "\r\n\r\n";
        while (m.size() < 150000) m += std::string(76, static_cast<char>('a' + i % 26)) + "\r\n";
        messages.push_back(m);
        dovecot.Deliver(user, m);
    }
    qimtest::WriteFileBytes(home + "/QIM.INI", Ini(user, dovecot.Pop3Port(), false));

    const std::string tool = qimtest::BuiltProgram("qimtool");
    std::vector<std::string> args = {tool, "receive", "--home", home};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = {"QIM_PASSWORD=secret"};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QIM_PASSWORD=", 13) != 0) envStrings.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, (home + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, tool.c_str(), &files, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);

    // Some messages stored, more to come: then it dies at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(home + "/3") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it could be killed: " << ReadFileBytes(home + ".err");

    ToolRun second = Receive(home, "secret");
    EXPECT_EQ(second.status, 0) << second.err;

    std::map<std::string, int> stored;
    for (const auto& e : std::filesystem::directory_iterator(home)) {
        const std::string n = e.path().filename().string();
        if (n.find_first_not_of("0123456789") == std::string::npos) ++stored[ReadFileBytes(e.path().string())];
        else EXPECT_TRUE(n == "HCACHE.TXT" || n == "QIM.INI" || (n.rfind("UIDL", 0) == 0 && n.size() == 24))
            << "left in the inbox: " << n;
    }
    int twice = 0;
    for (const std::string& m : messages) {
        EXPECT_GE(stored[m], 1) << "lost: " << m.substr(0, 12);
        EXPECT_LE(stored[m], 2) << m.substr(0, 12);
        if (stored[m] == 2) ++twice;
    }
    EXPECT_LE(twice, 1);
    EXPECT_EQ(stored.size(), messages.size()) << "nothing but the messages, whole";
    EXPECT_EQ(dovecot.Mailbox(user).size(), static_cast<std::size_t>(kCount));
}

}  // namespace

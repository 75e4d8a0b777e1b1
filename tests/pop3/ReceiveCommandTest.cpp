// qimtool receive against the real Dovecot: the whole run without windows,
// and a disk that fills up while a message is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/QimGlobals.h"
#include "app/SUserInetData.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

using qimtest::ReadFileBytes;

std::string Ini(int port, bool delMails) {
    return "[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\n"
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
        dovecot.AddUser("taro", "secret");
        home = dir.File("home");
        std::filesystem::create_directory(home);
    }
    qimtest::DovecotServer dovecot;
    qimtest::TempDir dir;
    std::string home;
};

TEST_F(ReceiveCommand, StoresTheMailboxAndReportsOnStandardError) {
    dovecot.Deliver("taro", "From: a@example.jp\r\nSubject: one\r\n\r\n..dot\r\n");
    dovecot.Deliver("taro", "From: b@example.jp\r\nSubject: two\r\n\r\nbody\r\n");
    qimtest::WriteFileBytes(home + "/QIM.INI", Ini(dovecot.Pop3Port(), true));
    ToolRun r = Receive(home, "secret");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(home + "/1"), "From: a@example.jp\r\nSubject: one\r\n\r\n..dot\r\n");
    EXPECT_EQ(ReadFileBytes(home + "/2"), "From: b@example.jp\r\nSubject: two\r\n\r\nbody\r\n");
    EXPECT_NE(r.err.find("メールの受信開始..."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 通受信しました"), std::string::npos) << r.err;
    EXPECT_NE(ReadFileBytes(home + "/HCACHE.TXT").find("two"), std::string::npos);
    EXPECT_TRUE(dovecot.Mailbox("taro").empty());

    // A wrong password: the message box text, exit 1, nothing deleted.
    dovecot.Deliver("taro", "Subject: three\r\n\r\nx\r\n");
    r = Receive(home, "wrong");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("パスワードが違います。"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("エラーです。中止します。"), std::string::npos) << r.err;
    EXPECT_EQ(dovecot.Mailbox("taro").size(), 1u);

    EXPECT_EQ(Receive(home, "secret", "", " extra").status, 2);
}

TEST_F(ReceiveCommand, FullDiskKeepsTheMessageOnTheServer) {
    dovecot.Deliver("taro", "Subject: small\r\n\r\nfits\r\n");
    std::string big = "Subject: big\r\n\r\n";
    for (int i = 0; i < 800; ++i) big += std::string(78, 'x') + "\r\n";
    dovecot.Deliver("taro", big);
    dovecot.Deliver("taro", "Subject: after\r\n\r\nnot reached\r\n");
    qimtest::WriteFileBytes(home + "/QIM.INI", Ini(dovecot.Pop3Port(), true));
    // Files may grow to 16 KB; the big message is 64 KB. The signal is
    // ignored so that the write fails with EFBIG as on a full disk.
    ToolRun r = Receive(home, "secret", "trap \"\" XFSZ; ulimit -f 16;");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("受信メール用に書き込みができません(27)。"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(home + "/1"), "Subject: small\r\n\r\nfits\r\n");
    EXPECT_FALSE(qimtest::FileExists(home + "/2"));
    for (const auto& e : std::filesystem::directory_iterator(home)) {
        const std::string n = e.path().filename().string();
        EXPECT_TRUE(n == "1" || n == "QIM.INI" || n == "HCACHE.TXT") << "left in the inbox: " << n;
    }
    const std::vector<std::string> left = dovecot.Mailbox("taro");
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0], big);
}

TEST_F(ReceiveCommand, APasswordSavedInTheSettingsComesFirst) {
    dovecot.Deliver("taro", "Subject: saved\r\n\r\nx\r\n");
    std::string ini = Ini(dovecot.Pop3Port(), true);
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

}  // namespace

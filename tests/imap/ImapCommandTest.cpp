// qimtool imap against the real Dovecot: the server folders of an account
// worked on from the command line, with Japanese folder names and mail.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ImapCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok());
        user = dovecot.NewUser();
        home = dir.File("home");
        std::filesystem::create_directory(home);
        WriteIni(dovecot.ImapPort());
    }
    void WriteIni(int port) {
        qimtest::WriteFileBytes(home + "/QIM.INI",
                                "[Host]\r\nUserName=" + user +
                                    "\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\n"
                                    "POP3Port=" + std::to_string(port) + "\r\nClientAddr=localhost\r\n");
    }
    // `args` are shell words, UTF-8 as typed.
    ToolRun Imap(const std::string& args, const std::string& password = "secret") {
        const std::string outFile = dir.File("out"), errFile = dir.File("err");
        ToolRun r;
        qimtest::RunCommand("QIM_PASSWORD=" + password + " QIM_RECEIVE_TIMEOUT_MS=20000 " +
                                qimtest::BuiltProgram("qimtool") + " imap " + args + " --home '" + home +
                                "' </dev/null >" + outFile + " 2>" + errFile,
                            &r.status);
        r.out = qimtest::ReadFileBytes(outFile);
        r.err = qimtest::ReadFileBytes(errFile);
        return r;
    }
    static std::string Message(const std::string& subject, const std::string& body) {
        return "From: hanako@example.jp\r\nTo: taro@example.jp\r\nSubject: " + subject +
               "\r\nDate: Thu, 10 Dec 2026 12:00:00 +0900\r\n\r\n" + body + "\r\n";
    }

    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    qimtest::TempDir dir;
    std::string user;
    std::string home;
};

TEST_F(ImapCommand, FoldersHeadersFetchCopyAndSearchWithJapaneseNames) {
    dovecot.Deliver(user, Message("first", "one"));
    dovecot.Deliver(user, Message("=?ISO-2022-JP?B?GyRCMnE1RCROJCpDTiRpJDsbKEI=?=", "two"));

    ToolRun r = Imap("mkdir 仕事");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("folders --utf8");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("_QimP\\仕事\\_mbox\n"), std::string::npos) << r.out;
    // The settings mailbox is made by the listing but never listed.
    EXPECT_EQ(r.out.find("_inimbox"), std::string::npos) << r.out;

    r = Imap("headers _QimP --utf8");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("2\t", 0), 0u) << r.out;  // newest first, as the list shows them
    EXPECT_NE(r.out.find("\thanako@example.jp\t会議のお知らせ\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1\t"), std::string::npos) << r.out;

    r = Imap("fetch _QimP 1 -");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Message("first", "one"));

    r = Imap("copy _QimP 1 2 仕事");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("headers 仕事");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;

    r = Imap("search 仕事 会議");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    r = Imap("search --field Subject 仕事 first");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    r = Imap("search 仕事 見つからない言葉");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");

    r = Imap("rename 仕事 作業");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("folders --utf8");
    EXPECT_NE(r.out.find("_QimP\\作業\\_mbox\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("仕事"), std::string::npos) << r.out;
    r = Imap("rmdir 作業");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("folders --utf8");
    EXPECT_EQ(r.out.find("作業"), std::string::npos) << r.out;
}

TEST_F(ImapCommand, AppendFlagAndDeleteChangeTheServersFolder) {
    const std::string mail = qimtest::Sjis("From: taro@example.jp\r\nSubject: 追加\r\n\r\n日本語の本文\r\n");
    qimtest::WriteFileBytes(dir.File("1"), mail);
    ToolRun r = Imap("append _QimP '" + dir.File("1") + "' --seen");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("fetch _QimP 1 '" + dir.File("back") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("back")), mail);

    r = Imap("flag _QimP 1 1 +\\\\Flagged");
    EXPECT_EQ(r.status, 0) << r.err;
    r = Imap("delete _QimP 1 1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(dovecot.Mailbox(user).empty());
    r = Imap("headers _QimP");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(ImapCommand, RefusalsAndBadUsageHaveTheirExitStatus) {
    struct Case {
        const char* args;
        int status;
    };
    const Case cases[] = {
        {"", 2},
        {"nosuch", 2},
        {"fetch _QimP", 2},
        {"fetch _QimP zero -", 2},
        {"copy _QimP 5 2 仕事", 2},
        {"flag _QimP 1 1 Flagged", 2},
        {"rmdir _QimP", 2},
        {"fetch _QimP 1 -", 1},  // an empty INBOX
        {"headers 無いフォルダー", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(Imap(c.args).status, c.status) << c.args;

    const ToolRun wrong = Imap("folders", "wrong");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_FALSE(wrong.err.empty());
}

}  // namespace

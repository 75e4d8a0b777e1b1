// qimtool imap put-settings and get-settings against the real Dovecot: what
// the server-folder window does at exit and at start, headless. The server's
// settings mailbox is read back with imaplib (tests/servers/imap_peek.py).
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "imap/Imap4Codes.h"
#include "send/STemplates.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "tests/imap/ImapTestSupport.h"
#include "tests/imap/IniFilesTestSupport.h"

namespace {

using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ImapCommandSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        user = dovecot.NewUser();
        homes = dir.File("homes");
        fs::create_directory(homes);
    }
    std::string NewHome(const std::string& name, int place) {
        const std::string home = homes + "/" + name;
        fs::create_directory(home);
        WriteFileBytes(home + "/QIM.INI", "[Host]\r\nUserName=" + user +
                                              "\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\nPOP3Addr=127.0.0.1\r\n"
                                              "POP3Port=" + std::to_string(dovecot.ImapPort()) +
                                              "\r\nClientAddr=localhost\r\n[QimP]\r\nINIFilesPlace=" +
                                              std::to_string(place) + "\r\n");
        return home;
    }
    ToolRun Imap(const std::string& args, const std::string& home) {
        const std::string outFile = logs.File("out"), errFile = logs.File("err");
        ToolRun r;
        qimtest::RunCommand("QIM_PASSWORD=secret QIM_RECEIVE_TIMEOUT_MS=20000 " + qimtest::BuiltProgram("qimtool") +
                                " imap " + args + " --home '" + home + "' </dev/null >" + outFile + " 2>" + errFile,
                            &r.status);
        r.out = ReadFileBytes(outFile);
        r.err = ReadFileBytes(errFile);
        return r;
    }
    std::string Peek(const std::string& args) const {
        return qimtest::RunCommand("/usr/bin/python3 " + std::string(QIM_TEST_SERVERS_DIR) + "/imap_peek.py " +
                                   std::to_string(dovecot.ImapPort()) + " " + user + " " + args);
    }
    static int LineCount(const std::string& text) {
        int n = 0;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) n += !line.empty();
        return n;
    }
    static std::string TemplateFile(STemplateKind kind, const std::string& utf8Name) {
        const std::string path = TemplateFilePath(kind, Sjis(utf8Name));
        return qimtest::Utf8(path.substr(path.rfind('/') + 1));
    }

    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    qimtest::TempDir dir, logs;
    std::string user;
    std::string homes;
};

TEST_F(ImapCommandSettings, PuttingTwiceKeepsOneSettingsMailAndGettingRestoresEveryFileByteForByte) {
    // The key file and QIM.INI travel too (INIFilesPlace 4 + 16).
    const std::string from = NewHome("from", 20);
    WriteFileBytes(from + "/CONFIG.INI", Sjis("[Qim]\r\nDefHLWSort=3\r\n[Template]\r\nTailNum=1\r\nTail0=署名\r\n"));
    WriteFileBytes(from + "/" + TemplateFile(STemplateKind::Tail, "署名"), Sjis("-- \r\n山田太郎\r\n"));
    WriteFileBytes(from + "/ALIAS.INI", Sjis("[Usual Alias]\r\nNum=1\r\nAlias0=仲間\r\nAddress0=\\仲間.txt\r\n"));
    WriteFileBytes(from + "/仲間.txt", "a@example.jp\r\nb@example.jp\r\n");
    WriteFileBytes(from + "/KeyFileB.cip", std::string("\x00\x01\r\n\x1a\xff\x80key", 11));
    const std::vector<std::string> files{"CONFIG.INI", "ALIAS.INI", TemplateFile(STemplateKind::Tail, "署名"),
                                         "仲間.txt", "KeyFileB.cip", "QIM.INI"};

    ToolRun r = Imap("put-settings --utf8", from);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string listed;
    for (const std::string& f : files) listed.append(f).append("\n");
    EXPECT_EQ(r.out, listed);
    // The second put replaces the first mail.
    WriteFileBytes(from + "/CONFIG.INI", ReadFileBytes(from + "/CONFIG.INI") + "[QimSend]\r\nRPrefix=| \r\n");
    r = Imap("put-settings", from);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LineCount(Peek("flags _QimP._inimbox")), 1) << Peek("flags _QimP._inimbox");
    const std::string stored = Peek("body _QimP._inimbox 1");
    EXPECT_NE(stored.find("Subject: INI Files\r\n"), std::string::npos) << stored.substr(0, 400);

    // Another machine with nothing but its account.
    const std::string to = NewHome("to", 20);
    r = Imap("get-settings --utf8", to);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, listed);
    for (const std::string& f : files) EXPECT_EQ(ReadFileBytes(to + "/" + f), ReadFileBytes(from + "/" + f)) << f;
    EXPECT_EQ(qimtest::FileMode(to + "/KeyFileB.cip") & 0200, 0u) << "the key file comes back read-only";
}

TEST_F(ImapCommandSettings, AHostileSettingsMailWritesNothingOutsideTheHomeNorAnythingInIt) {
    // The mail is put into the settings mailbox by the session itself.
    imaptest::Home account;
    account.inet.userName = user;
    account.inet.pop3Port = dovecot.ImapPort();
    imaptest::Session<> session(account);
    SImap4Request list;
    list.listFile = account.dir.File("PFolders.TXT");
    list.folder = qimimap::kQimPRoot;
    ASSERT_EQ(session.Run(list, qimimap::kOpListFolders), qimimap::kResultSuccess) << session.seen.AllNotices();
    const std::string outside = dir.File("outside");
    WriteFileBytes(account.dir.File("hostile"),
                   initest::MailOf({{"CONFIG.INI", "[Qim]\r\nDefHLWSort=9\r\n"},
                                    {"../x", "up one"},
                                    {"..\\..\\y", "up two"},
                                    {outside, "absolute"},
                                    {".profile", "a shell's start"}}));
    SImap4Request append;
    append.folder = qimimap::kSettingsMailbox;
    append.mailFile = account.dir.File("hostile");
    ASSERT_EQ(session.Run(append, qimimap::kOpAppend), qimimap::kResultSuccess) << session.seen.AllNotices();
    session.session.reset();

    const std::string home = NewHome("home", 20);
    WriteFileBytes(home + "/CONFIG.INI", "[Qim]\r\nDefHLWSort=1\r\n");
    const std::set<std::string> before = initest::Tree(dir.Path());
    ToolRun r = Imap("get-settings", home);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    for (const std::string& name : {std::string("../x"), std::string("..\\..\\y"), outside, std::string(".profile")})
        EXPECT_NE(r.err.find(name), std::string::npos) << name << "\n" << r.err;
    EXPECT_NE(r.err.find("一つも書き換えていません"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("設定ファイルを取り出すことが出来ませんでした。"), std::string::npos) << r.err;
    EXPECT_EQ(initest::Tree(dir.Path()), before);
    EXPECT_EQ(ReadFileBytes(home + "/CONFIG.INI"), "[Qim]\r\nDefHLWSort=1\r\n");
}

TEST_F(ImapCommandSettings, GettingFromAnEmptySettingsMailboxFailsAndChangesNothing) {
    const std::string home = NewHome("home", 0);
    WriteFileBytes(home + "/CONFIG.INI", "[Qim]\r\nDefHLWSort=1\r\n");
    ToolRun r = Imap("folders", home);  // makes the settings mailbox, empty
    ASSERT_EQ(r.status, 0) << r.err;
    r = Imap("get-settings", home);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("設定ファイルをサーバーから取得することが出来ませんでした。"), std::string::npos) << r.err;
    EXPECT_EQ(initest::Tree(home), (std::set<std::string>{"CONFIG.INI", "QIM.INI"}));
}

}  // namespace

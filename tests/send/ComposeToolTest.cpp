#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::RunCommand;

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }

class ComposeTool : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = dir_.File("home");
        RunCommand("mkdir -p " + home_);
    }
    void Settings(int smtpPort) {
        qimtest::WriteFileBytes(home_ + "/QIM.INI",
                                "[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\nAddrPhrase=Taro Y.\r\n"
                                "SMTPAddr=127.0.0.1\r\nSMTPPort=" +
                                    std::to_string(smtpPort) + "\r\nPOP3Addr=127.0.0.1\r\nClientAddr=client\r\n");
    }
    // Runs qimtool with `input` on stdin; stderr is kept in `err`.
    std::string Run(const std::string& args, const std::string& input, int* status, std::string* err = nullptr) {
        qimtest::WriteFileBytes(dir_.File("stdin"), input);
        const std::string out = RunCommand(Tool() + " " + args + " < " + dir_.File("stdin") + " 2> " +
                                               dir_.File("stderr"),
                                           status);
        if (err) *err = qimtest::ReadFileBytes(dir_.File("stderr"));
        return out;
    }

    qimtest::TempDir dir_;
    std::string home_;
};

TEST_F(ComposeTool, AComposedFileIsSentWithItsBlindCopyOnlyInTheEnvelope) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    Settings(smtp.Port());
    qimtest::WriteFileBytes(dir_.File("報告.txt"), "report\n");
    qimtest::WriteFileBytes(dir_.File("b.bin"), std::string("\0\1\2\xff", 4));
    int status = -1;
    std::string err;
    const std::string message =
        Run("compose --home " + home_ + " --to '鈴木 <suzuki@example.jp>' --to t2@example.jp --cc c@example.jp"
            " --bcc hidden@example.jp --subject '件名です' --attach " + dir_.File("報告.txt") + " --attach " +
                dir_.File("b.bin"),
            qimtest::Sjis("本文の一行目\r\n.\r\n終わり\r\n"), &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(message.find("Bcc: hidden@example.jp\r\n"), std::string::npos);
    EXPECT_NE(message.find("From: \"Taro Y.\" <taro@example.jp>\r\n"), std::string::npos);
    EXPECT_NE(message.find(qimtest::Sjis("本文の一行目\r\n.\r\n")), std::string::npos);  // stored in Shift_JIS
    const std::string file = dir_.File("out.eml");
    qimtest::WriteFileBytes(file, message);

    Run("send --home " + home_ + " " + file, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    const auto messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "taro@example.jp");
    EXPECT_EQ(messages[0].rcptTo, (std::vector<std::string>{"suzuki@example.jp", "t2@example.jp", "c@example.jp",
                                                            "hidden@example.jp"}));
    EXPECT_EQ(messages[0].data.find("hidden"), std::string::npos);
    // The rest went as stored, the body in ISO-2022-JP.
    std::string withoutBcc = message;
    withoutBcc.erase(withoutBcc.find("Bcc: hidden@example.jp\r\n"), 24);
    EXPECT_EQ(messages[0].data.substr(0, 100), withoutBcc.substr(0, 100));
    const qimtest::Parsed parsed = qimtest::ParseWithPython(dir_.Path(), messages[0].data);
    EXPECT_EQ(parsed.subject, "件名です");
    EXPECT_EQ(parsed.texts, (std::vector<std::string>{"本文の一行目\r\n.\r\n終わり\r\n"}));
    ASSERT_EQ(parsed.files.size(), 2u);
    EXPECT_EQ(parsed.files[0], (std::pair<std::string, std::string>{"報告.txt", "report\n"}));
    EXPECT_EQ(parsed.files[1], (std::pair<std::string, std::string>{"b.bin", std::string("\0\1\2\xff", 4)}));
}

// Attachment names come back exactly from Python's email package under both
// its policies, whichever header a reader takes the name from: Japanese names,
// one too long for a single header line, names with blanks and commas.
TEST_F(ComposeTool, AttachmentNamesComeBackExactlyFromBothPythonPolicies) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    Settings(smtp.Port());
    std::string longName;
    while (longName.size() < 230) longName += "長い名前の添付ファイル";
    longName += ".txt";
    const std::vector<std::string> names = {"資料.bin", "会議 議事録, 第2回.pdf", "a b, c.txt", longName,
                                            "report.pdf"};
    std::string attach;
    for (std::size_t i = 0; i < names.size(); ++i) {
        qimtest::WriteFileBytes(dir_.File(names[i]), "data " + std::to_string(i) + std::string("\0\xff\r\n", 4));
        attach += " --attach '" + dir_.File(names[i]) + "'";
    }
    int status = -1;
    std::string err;
    const std::string message =
        Run("compose --home " + home_ + " --to a@example.jp --subject names" + attach, "body\r\n", &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(message.find(" filename*1*="), std::string::npos) << "the long name continues";
    for (std::size_t start = 0, end; (end = message.find("\r\n", start)) != std::string::npos; start = end + 2) {
        // Only an encoded word, which cannot be split, makes a line longer.
        if (message.compare(start, 10, " filename*") == 0) {
            EXPECT_LE(end - start, 78u) << message.substr(start, end - start);
        }
        EXPECT_LE(end - start, 998u);
    }
    qimtest::WriteFileBytes(dir_.File("out.eml"), message);
    Run("send --home " + home_ + " " + dir_.File("out.eml"), "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    const auto messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);

    const qimtest::Parsed parsed = qimtest::ParseWithPython(dir_.Path(), messages[0].data);
    ASSERT_EQ(parsed.names.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const qimtest::Parsed::Names& got = parsed.names[i];
        EXPECT_EQ(got.compatFileName, names[i]);
        EXPECT_EQ(got.compatName, names[i]);
        EXPECT_EQ(got.fileName, names[i]);
        EXPECT_EQ(got.name, names[i]);
        EXPECT_EQ(got.bytes, "data " + std::to_string(i) + std::string("\0\xff\r\n", 4));
        EXPECT_EQ(parsed.files[i].second, got.bytes);
    }
}

TEST_F(ComposeTool, AQuestionTheWindowWouldAskFailsWithItsText) {
    Settings(25);
    const struct {
        const char* name;
        std::string args;
        std::string body;
        const char* text;  // UTF-8, found on stderr
    } cases[] = {
        {"empty body", "--to a@example.jp", "", "メールの中身がありません"},
        {"half-width katakana", "--to a@example.jp", qimtest::Sjis("ｶﾀｶﾅ\r\n"), "半角カタカナがあります"},
        {"platform-dependent character", "--to a@example.jp", qimtest::Sjis("①\r\n"), "機種依存文字があります"},
        {"long line", "--to a@example.jp", std::string(100, 'x') + "\r\n", "文字を超える行があります"},
        {"no recipient", "--subject x", "body\r\n", "ヘッダーの項目で足らないものがあります"},
        {"missing attachment", "--to a@example.jp --attach " + dir_.File("none"), "body\r\n",
         "添付ファイルの大きさが取得できません"},
    };
    for (const auto& c : cases) {
        int status = -1;
        std::string err;
        const std::string out = Run("compose --home " + home_ + " " + c.args, c.body, &status, &err);
        EXPECT_EQ(status, 1) << c.name;
        EXPECT_TRUE(out.empty()) << c.name;
        EXPECT_NE(err.find(c.text), std::string::npos) << c.name << ": " << err;
    }
    int status = -1;
    Run("compose --to a@example.jp", "body", &status);
    EXPECT_EQ(status, 2);
}

TEST_F(ComposeTool, ARefusedRecipientFailsTheSend) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    Settings(smtp.Port());
    int status = -1;
    std::string err;
    const std::string message =
        Run("compose --home " + home_ + " --to ok@example.jp --bcc reject@example.jp", "body\r\n", &status, &err);
    ASSERT_EQ(status, 0) << err;
    qimtest::WriteFileBytes(dir_.File("m.eml"), message);
    Run("send --home " + home_ + " " + dir_.File("m.eml"), "", &status, &err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("サーバーが宛先 <reject@example.jp> を受け付けませんでした。"), std::string::npos) << err;
    EXPECT_NE(err.find("サーバーの応答: 550"), std::string::npos) << err;
    EXPECT_NE(err.find("エラーです。中止します。"), std::string::npos) << err;
    EXPECT_TRUE(smtp.Messages().empty());
}

// Every way a send cannot start says what is wrong.
TEST_F(ComposeTool, ASendThatCannotStartSaysWhy) {
    const std::string mail = dir_.File("m.eml");
    qimtest::WriteFileBytes(mail, "From: taro@example.jp\r\nTo: a@example.jp\r\nDate: x\r\n\r\nbody\r\n");
    const struct Case {
        const char* name;
        std::string ini;  // the QIM.INI written; "<zero>" a link to /dev/zero
        std::string home;
        const char* text;
    } cases[] = {
        {"an empty QIM.INI", "", home_, "送信の設定 (SMTPAddr, SMTPPort, UserName, MailAddr) が"},
        {"no SMTPAddr", "[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\n", home_, "SMTPAddr"},
        {"a home that is not there", "", dir_.File("nowhere"), "QimHome フォルダーが見つかりません"},
        {"a settings file that never ends", "<zero>", home_, "大きすぎるか通常のファイルではない"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(home_ + "/QIM.INI");
        if (c.ini == "<zero>") std::filesystem::create_symlink("/dev/zero", home_ + "/QIM.INI");
        else qimtest::WriteFileBytes(home_ + "/QIM.INI", c.ini);
        int status = -1;
        std::string err;
        Run("send --home " + c.home + " " + mail, "", &status, &err);
        EXPECT_EQ(status, 1) << c.name;
        EXPECT_NE(err.find(c.text), std::string::npos) << c.name << ": " << err;
    }
}

}  // namespace

namespace {

class ComposeToolCopy : public ComposeTool {
protected:
    // A composed file, and settings whose sent-mail folder is `fcc` under the home.
    std::string Composed(int smtpPort, const char* fcc) {
        Settings(smtpPort);
        const std::string ini = qimtest::ReadFileBytes(home_ + "/QIM.INI");
        qimtest::WriteFileBytes(home_ + "/QIM.INI", ini + "[QimSend]\r\nbFcc=1\r\nFcc=" + fcc + "\r\n");
        int status = -1;
        std::string err;
        const std::string message = Run("compose --home " + home_ + " --to a@example.jp --bcc b@example.jp",
                                        "body\r\n", &status, &err);
        EXPECT_EQ(status, 0) << err;
        const std::string file = dir_.File("m.eml");
        qimtest::WriteFileBytes(file, message);
        return file;
    }
};

TEST_F(ComposeToolCopy, TheSentCopyGoesToTheFccFolderAndTheNamedFileStays) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    RunCommand("mkdir -p " + home_ + "/sent");
    const std::string file = Composed(smtp.Port(), "sent");
    int status = -1;
    std::string err;
    Run("send --home " + home_ + " " + file, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_EQ(smtp.Messages().size(), 1u);
    // The copy is the file as composed (its Bcc line too: it is the sender's record).
    EXPECT_EQ(qimtest::ReadFileBytes(home_ + "/sent/1"), qimtest::ReadFileBytes(file));
    EXPECT_NE(qimtest::ReadFileBytes(home_ + "/sent/HCACHE.TXT").find("a@example.jp"), std::string::npos);
}

TEST_F(ComposeToolCopy, ASentCopyThatCannotBeStoredFailsTheCommandLoudly) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    const std::string file = Composed(smtp.Port(), "missing");
    int status = -1;
    std::string err;
    Run("send --home " + home_ + " " + file, "", &status, &err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(smtp.Messages().size(), 1u);  // the mail itself went
    EXPECT_NE(err.find("送信メールを保存できませんでした"), std::string::npos) << err;
}

}  // namespace

namespace {

// A Japanese multipart mail from a list, answered in a thread of two, as the
// store keeps it (the text in Shift_JIS).
std::string SourceMail() {
    return
    "Received: from relay by mx; Mon, 1 Jun 2026 10:00:00 +0900\r\n"
    "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
    "To: taro@example.jp, hanako@example.jp\r\n"
    "Cc: list@example.jp\r\n"
    "Subject: =?ISO-2022-JP?B?GyRCMnE1RBsoQg==?=\r\n"
    "Message-Id: <m2@example.jp>\r\n"
    "References: <m1@example.jp>\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n"
    "--b1\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
    + qimtest::Sjis("こんにちは\r\nline two\r\n") +
    "--b1\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    "AAECAw==\r\n--b1--\r\n";
}

std::map<std::string, std::string> ThreadFields(const std::string& dir, const std::string& message, std::string& body) {
    const std::string path = dir + "/thread.eml";
    qimtest::WriteFileBytes(path, message);
    int status = -1;
    const std::string out =
        RunCommand(std::string("/usr/bin/python3 ") + QIM_TEST_SERVERS_DIR + "/../send/thread_fields.py " + path, &status);
    EXPECT_EQ(status, 0) << out;
    std::map<std::string, std::string> fields;
    const std::size_t bodyAt = out.find("body\n");
    std::istringstream lines(out.substr(0, bodyAt));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t blank = line.find(' ');
        fields[line.substr(0, blank)] = blank == std::string::npos ? "" : line.substr(blank + 1);
    }
    body = bodyAt == std::string::npos ? "" : out.substr(bodyAt + 5);
    return fields;
}

}  // namespace

TEST_F(ComposeTool, AReplyMadeAndSentByTheToolThreadsInPythonsReader) {
    qimtest::SmtpServer& smtp = qimtest::SmtpServer::Shared();
    ASSERT_TRUE(smtp.Ok());
    smtp.Clear();
    Settings(smtp.Port());
    const std::string source = dir_.File("source");
    qimtest::WriteFileBytes(source, SourceMail());
    int status = -1;
    std::string err;
    const std::string reply = Run("reply --home " + home_ + " " + source, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    // Stored as the compose window would start it: Shift_JIS, the text quoted.
    EXPECT_NE(reply.find(qimtest::Sjis(">こんにちは\r\n>line two\r\n")), std::string::npos) << reply;
    EXPECT_EQ(reply.find("a.bin"), std::string::npos);
    const std::string file = dir_.File("reply.eml");
    qimtest::WriteFileBytes(file, reply);
    Run("send --home " + home_ + " " + file, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    const auto messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rcptTo, std::vector<std::string>{"yamada@example.jp"});
    std::string body;
    const auto fields = ThreadFields(dir_.Path(), messages[0].data, body);
    EXPECT_EQ(fields.at("To"), "山田 <yamada@example.jp>");
    EXPECT_EQ(fields.at("Subject"), "Re: 会議");
    EXPECT_EQ(fields.at("In-Reply-To"), "<m2@example.jp>");
    EXPECT_EQ(fields.at("References"), "<m1@example.jp> <m2@example.jp>");
    EXPECT_EQ(fields.at("Cc"), "");
    EXPECT_NE(fields.at("Message-Id").find("@example.jp>"), std::string::npos);
    EXPECT_EQ(body, ">こんにちは\r\n>line two\r\n");
}

TEST_F(ComposeTool, ReplyToAllAndForwardStartAsTheWindowStartsThem) {
    Settings(25);
    const std::string source = dir_.File("source");
    qimtest::WriteFileBytes(source, SourceMail());
    int status = -1;
    std::string err;
    const std::string all = Run("reply --all --utf8 --home " + home_ + " " + source, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(all.find("\r\nCc: hanako@example.jp, list@example.jp\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find(">こんにちは\r\n"), std::string::npos);  // --utf8 for the terminal

    const std::string forward = Run("forward --utf8 --home " + home_ + " --to b@example.jp " + source, "", &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(forward.find("\r\nTo: b@example.jp\r\n"), std::string::npos);
    EXPECT_EQ(forward.find("In-Reply-To:"), std::string::npos);
    EXPECT_EQ(forward.find("Received:"), std::string::npos);
    EXPECT_NE(forward.find("\r\n----- Forwarded Message ------ ------\r\n\r\nFrom: 山田 <yamada@example.jp>\r\n"),
              std::string::npos)
        << forward;
    EXPECT_NE(forward.find("こんにちは\r\nline two\r\n"), std::string::npos);
    EXPECT_NE(forward.find("\r\n----- End of Forwarded Message ------\r\n"), std::string::npos);

    const struct {
        std::string args;
        int status;
        const char* text;
    } failures[] = {
        {"reply --home " + home_ + " " + dir_.File("none"), 1, "メールが読み出せませんでした。"},
        {"forward --home " + home_ + " " + dir_.File("none"), 1, "ファイルをオープンすることができません。"},
        {"reply --home " + home_, 2, "元のメールのファイルを一つ指定してください"},
    };
    for (const auto& f : failures) {
        Run(f.args, "", &status, &err);
        EXPECT_EQ(status, f.status) << f.args;
        EXPECT_NE(err.find(f.text), std::string::npos) << f.args << ": " << err;
    }
}

#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }

class QimtoolAlias : public ::testing::Test {
protected:
    // Runs qimtool with the home given; `err` gets stderr.
    std::string Run(const std::string& args, int* status, std::string* err = nullptr) {
        const std::string errFile = dir_.File("stderr");
        const std::string out =
            qimtest::RunCommand("env -u QIMHOME " + Tool() + " alias " + args + " 2>" + errFile, status);
        if (err) *err = qimtest::ReadFileBytes(errFile);
        return out;
    }
    std::string Home() const { return "--home '" + dir_.Path() + "' "; }
    std::string AliasIni() const {
        std::string text = qimtest::Utf8(qimtest::ReadFileBytes(dir_.File("ALIAS.INI")));
        std::string out;
        for (char c : text)
            if (c != '\r') out += c;
        return out;
    }
    qimtest::TempDir dir_;
};

TEST_F(QimtoolAlias, AddedEntriesAreListedAndExpandedAsTheComposeWindowWould) {
    int status = -1;
    Run(Home() + "add よく使うアドレス 山田 yamada@example.jp --comment 同僚", &status);
    EXPECT_EQ(status, 0);
    Run(Home() + "add 仕事 team '\\team.txt'", &status);
    EXPECT_EQ(status, 0);
    Run(Home() + "add 仕事 '鈴木 一郎' '\"Suzuki, I.\" <suzuki@x>'", &status);
    EXPECT_EQ(status, 0);
    // The file holds the stored forms, key by key.
    EXPECT_EQ(AliasIni(),
              "[Usual Alias]\nAlias0=山田\nAddress0=yamada@example.jp\nComment0=\"同僚\"\nNum=1\n\n"
              "[Address Folders]\nF0=\"0 0 よく使うアドレス\"\nF1=\"1 0 仕事\"\nNum=2\n\n"
              "[F1]\nAlias0=team\nAddress0=\\team.txt\nNum=2\nAlias1=鈴木 一郎\nAddress1=\"Suzuki, I.\" <suzuki@x>\n");

    EXPECT_EQ(Run(Home() + "list --utf8", &status),
              "[よく使うアドレス]\t0\n\t山田\tyamada@example.jp\t同僚\n"
              "[仕事]\t1\n\tteam\t\\team.txt\t\n\t鈴木 一郎\t\"Suzuki, I.\" <suzuki@x>\t\n");
    EXPECT_EQ(status, 0);
    // Shift_JIS unless asked for UTF-8.
    EXPECT_EQ(Run(Home() + "expand 山田", &status), "yamada@example.jp\n");
    EXPECT_EQ(Run(Home() + "list", &status).substr(0, 18), Sjis("[よく使うアドレス]"));

    qimtest::WriteFileBytes(dir_.File("team.txt"), "; all of us\r\na@x\r\nb@x\r\n");
    EXPECT_EQ(Run(Home() + "expand team", &status), "a@x, b@x\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Run(Home() + "expand --utf8 '鈴木 一郎'", &status), "\"Suzuki, I.\" <suzuki@x>\n");
}

TEST_F(QimtoolAlias, FailuresSayWhyInJapanese) {
    int status = -1;
    std::string err;
    Run(Home() + "add よく使うアドレス big '\\big.txt'", &status);
    Run(Home() + "add よく使うアドレス up '\\..\\secret.txt'", &status);
    std::string big;
    for (int i = 0; i < 101; ++i) big += "m" + std::to_string(i) + "@x\r\n";
    qimtest::WriteFileBytes(dir_.File("big.txt"), big);
    const struct {
        std::string args;
        int status;
        std::string err;  // a part of stderr
    } cases[] = {
        {"expand nobody", 1, "「nobody」は住所録にありません。"},
        {"expand big", 1, "変です。ファイルが存在するか、リストの項目が多すぎないか確認して下さい。"},
        {"expand up", 1, "リストファイルは QimHome の中のファイルでなければなりません。"},
        {"add よく使うアドレス " + std::string(42, 'n') + " a@x", 1, "名前は 41 バイト"},
        {"add よく使うアドレス n", 2, "FOLDER NAME ADDRESS"},
        {"frobnicate", 2, "不明な操作です"},
    };
    for (const auto& c : cases) {
        Run(Home() + c.args, &status, &err);
        EXPECT_EQ(status, c.status) << c.args;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.args << ": " << err;
    }
    // Without a home directory nothing is read or written.
    Run("list", &status, &err);
    EXPECT_EQ(status, 2);
}

TEST_F(QimtoolAlias, ADamagedFolderListIsNeverWrittenOver) {
    const std::string damaged = "[Address Folders]\r\nNum=3\r\nF1=\"garbage\"\r\n";
    qimtest::WriteFileBytes(dir_.File("ALIAS.INI"), damaged);
    int status = -1;
    std::string err;
    Run(Home() + "add 仕事 a a@x", &status, &err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("変です。設定ファイルが壊れていませんか？"), std::string::npos) << err;
    EXPECT_EQ(qimtest::ReadFileBytes(dir_.File("ALIAS.INI")), damaged);
}

TEST_F(QimtoolAlias, ComposeTakesAliasNamesInToCcAndBcc) {
    int status = -1;
    Run(Home() + "add よく使うアドレス 山田 yamada@example.jp", &status);
    Run(Home() + "add よく使うアドレス team '\\team.txt'", &status);
    qimtest::WriteFileBytes(dir_.File("team.txt"), "a@x\r\nb@x\r\n");
    qimtest::WriteFileBytes(dir_.File("QIM.INI"), "[Host]\r\nUserName=taro\r\nMailAddr=taro@example.jp\r\n");
    const std::string mail = qimtest::RunCommand("echo body | env -u QIMHOME " + Tool() + " compose " + Home() +
                                                     "--to 山田 --cc 'team, c@x' --bcc team --to '\\list'",
                                                 &status);
    EXPECT_EQ(status, 0);
    // An item that is no alias name stays as typed.
    EXPECT_NE(mail.find("\r\nTo: yamada@example.jp, \\list\r\n"), std::string::npos) << mail;
    EXPECT_NE(mail.find("\r\nCc: a@x, b@x, c@x\r\n"), std::string::npos) << mail;
    EXPECT_NE(mail.find("\r\nBcc: a@x, b@x\r\n"), std::string::npos) << mail;
}

}  // namespace

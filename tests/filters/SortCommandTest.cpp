// qimtool sort, end to end on a real home directory.
#include <gtest/gtest.h>

#include "tests/filters/SortTestSupport.h"

namespace {

using qimtest::Sjis;
using Strings = std::vector<std::string>;

class SortCommand : public sorttest::SortHome {
protected:
    void SetUp() override {
        sorttest::SortHome::SetUp();
        for (const char* name : {"work", "ml", "old"}) MakeFolder(name);
        Put("", "boss", {"From: boss@example.jp", "Subject: status"});
        Put("", "minutes", {"From: a@example.jp", "Subject: =?ISO-2022-JP?B?GyRCMnE1RCRONUQ7dk8/GyhC?="});
        Put("", "list", {"From: a@example.jp", "Subject: x", "X-ML-Name: qim-users"});
        Put("old", "old-boss", {"From: boss@example.jp", "Subject: old"});
        // Set 1 over the inbox; set 2 (with a missing destination) over "old".
        WriteIni("[QimMoveFiles]\nNum=3\n"
                 "HeaderType0=0\nPosType0=5\nIn0=\"BOSS@\"\nDest0=\"work\"\n"
                 "HeaderType1=1\nPosType1=1\nIn1=\"議事録\"\nDest1=\".\\work\"\n"
                 "HeaderType2=3\nPosType2=0\nIn2=\"qim-users\"\nDest2=\"ml\"\nHFName2=X-ML-Name\n"
                 "[QimMoveFiles2]\nNum=2\n"
                 "HeaderType0=1\nPosType0=0\nIn0=\"old\"\nDest0=\"gone\"\n"
                 "HeaderType1=0\nPosType1=0\nIn1=\"boss@\"\nDest1=\"work\"\n");
    }
    void WriteIni(const std::string& utf8) const {
        std::string text;
        for (char c : Sjis(utf8)) {
            if (c == '\n') text += '\r';
            text += c;
        }
        qimtest::WriteFileBytes(Ini(), text);
    }
    // stdout of qimtool sort with `args`; `err` gets stderr, `status` the exit status.
    std::string Sort(const std::string& args, int& status, std::string* err = nullptr) const {
        const std::string errFile = dir_.File("stderr");
        const std::string out = qimtest::RunCommand(
            "env -u QIMHOME " + qimtest::BuiltProgram("qimtool") + " sort " + args + " 2>" + errFile, &status);
        if (err) *err = qimtest::ReadFileBytes(errFile);
        return out;
    }
};

TEST_F(SortCommand, RunsTheFirstSetOverTheInboxAndTellsWhatEachRuleMoved) {
    int status = -1;
    EXPECT_EQ(Sort("--utf8 --home '" + home_ + "'", status),
              "1\t1\tFrom\tBOSS@\twork\n2\t1\tSubject\t議事録\t.\\work\n3\t1\tX-ML-Name\tqim-users\tml\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Tags(""), Strings());
    EXPECT_EQ(Tags("work"), Strings({"boss", "minutes"}));
    EXPECT_EQ(Tags("ml"), Strings({"list"}));
    for (const char* name : {"", "work", "ml"}) storetest::ExpectCacheAgrees(Folder(name));
    // The output is Shift_JIS without --utf8.
    Put("", "minutes2", {"From: b@example.jp", "Subject: =?ISO-2022-JP?B?GyRCMnE1RCRONUQ7dk8/GyhC?="});
    EXPECT_NE(Sort("--home '" + home_ + "' .", status).find("2\t1\tSubject\t" + Sjis("議事録")), std::string::npos);
    EXPECT_EQ(Tags("work"), Strings({"boss", "minutes", "minutes2"}));
}

TEST_F(SortCommand, TheSecondSetOverAFolderGoesOnPastAMissingDestination) {
    int status = -1;
    std::string err;
    EXPECT_EQ(Sort("--set 2 --utf8 --home '" + home_ + "' old", status, &err),
              "1\t0\tSubject\told\tgone\n2\t1\tFrom\tboss@\twork\n");
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("フォルダー gone が存在しません。スキップします。"), std::string::npos) << err;
    EXPECT_EQ(Tags("old"), Strings());
    EXPECT_EQ(Tags("work"), Strings({"old-boss"}));
    EXPECT_EQ(Tags("").size(), 3u);
}

TEST_F(SortCommand, ErrorsAreToldInJapanese) {
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"--home '" + home_ + "' nowhere", 1, "フォルダーが見つかりません"},
        {"--set 3 --home '" + home_ + "'", 2, "--set は 1 か 2 です"},
        {"'" + home_ + "'", 2, "--home か環境変数 QIMHOME"},
        {"--home '" + home_ + "' a b", 2, "余分な引数があります"},
    };
    for (const auto& c : cases) {
        int status = -1;
        std::string err;
        EXPECT_EQ(Sort(c.args, status, &err), "") << c.args;
        EXPECT_EQ(status, c.status) << c.args;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    }
    // No set stored, and a set that breaks off after its first rule.
    WriteIni("[Qim]\n");
    int status = -1;
    std::string err;
    EXPECT_EQ(Sort("--home '" + home_ + "'", status, &err), "");
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("自動振り分けの規則がありません (QIM.INI の [QimMoveFiles])"), std::string::npos) << err;
    WriteIni("[QimMoveFiles]\nNum=2\nHeaderType0=0\nPosType0=5\nIn0=\"boss@\"\nDest0=\"work\"\nHeaderType1=0\n");
    EXPECT_EQ(Sort("--home '" + home_ + "'", status, &err), "1\t1\tFrom\tboss@\twork\n");
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("2 番目の規則が読めません"), std::string::npos) << err;
    EXPECT_EQ(Tags("work"), Strings({"boss"}));
}

}  // namespace

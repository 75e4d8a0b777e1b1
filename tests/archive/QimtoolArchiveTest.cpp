// qimtool archive end to end: the archive made and listed, the exit status
// and the messages of the failures, and a disk that fills up half-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include "ArchiveTestSupport.h"

namespace {

using qimtest::Sjis;

class QimtoolArchive : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = home_.File("\xE4\xBB\x95\xE4\xBA\x8B");  // 仕事
        std::filesystem::create_directory(folder_);
        mails_ = archivetest::FolderMails(5);
        for (const auto& [name, data] : mails_) qimtest::WriteFileBytes(folder_ + "/" + name, data);
    }
    std::string Tool(const std::string& args, int* status, std::string* err = nullptr) {
        const std::string errFile = home_.File("stderr");
        const std::string out = qimtest::RunCommand(qimtest::BuiltProgram("qimtool") + " " + args + " 2>'" + errFile + "'", status);
        if (err) *err = qimtest::ReadFileBytes(errFile);
        return out;
    }
    std::vector<std::string> Left() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    qimtest::TempDir home_;
    std::string folder_;
    std::map<std::string, std::string> mails_;
};

TEST_F(QimtoolArchive, ArchivesUnderTheHomeListsAndRefusesAgain) {
    int status = -1;
    std::string err;
    const std::string out = Tool("archive --home '" + home_.Path() + "' '仕事' 書庫", &status, &err);
    ASSERT_EQ(status, 0) << err;
    EXPECT_EQ(out, folder_ + "/書庫.LZH\n");
    EXPECT_NE(err.find("終了です。"), std::string::npos) << err;
    EXPECT_NE(err.find("5 個のファイルを書庫"), std::string::npos) << err;  // no cache was there to pack
    EXPECT_EQ(Left(), (std::vector<std::string>{"HCACHE.TXT", "書庫.LZH"}));

    const std::string listed = Tool("archive list --utf8 '" + folder_ + "/書庫.LZH'", &status);
    EXPECT_EQ(status, 0);
    std::string expected;
    for (const char* name : {"1", "2", "3", "4", "5"}) expected += std::string(name) + "\t" + std::to_string(mails_[name].size()) + "\t";
    // Names and original sizes; the packed sizes and methods are the library's choice.
    std::istringstream lines(listed);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        const std::string name = std::to_string(n);
        EXPECT_EQ(line.rfind(name + "\t" + std::to_string(mails_[name].size()) + "\t", 0), 0u) << line;
        EXPECT_NE(line.find("\t-lh"), std::string::npos) << line;
    }
    EXPECT_EQ(n, 5);

    for (const auto& [name, data] : mails_) qimtest::WriteFileBytes(folder_ + "/" + name, data);
    Tool("archive '" + folder_ + "' 書庫", &status, &err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "同じ名前の書庫ファイルが存在します。\n");
    for (const auto& [name, data] : mails_) EXPECT_TRUE(qimtest::ReadFileBytes(folder_ + "/" + name) == data) << name;
}

TEST_F(QimtoolArchive, ExitStatusOfUsageAndFailures) {
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"archive", 2},
        {"archive a b c", 2},
        {"archive --utf8 '" + folder_ + "'", 2},
        {"archive --bogus '" + folder_ + "'", 2},
        {"archive '" + home_.File("missing") + "'", 1},
        {"archive list '" + home_.File("missing.lzh") + "'", 1},
        {"archive list '" + folder_ + "/1'", 1},  // a mail is no archive
        {"archive '" + folder_ + "' ../out", 1},
    };
    for (const auto& c : cases) {
        int status = -1;
        Tool(c.args, &status);
        EXPECT_EQ(status, c.status) << c.args;
    }
    EXPECT_EQ(Left(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST_F(QimtoolArchive, ADiskThatFillsUpKeepsEveryMail) {
    // Files of this process may not grow past 64 KiB, and a mail of 200 KB of
    // random bytes does not pack; SIGXFSZ is ignored, so the write fails and
    // the library reports it.
    std::mt19937 rng(6);
    std::string noise;
    for (int i = 0; i < 200000; ++i) noise.push_back(static_cast<char>(rng() & 0xFF));
    mails_["6"] = "Subject: noise\r\n\r\n" + noise;
    qimtest::WriteFileBytes(folder_ + "/6", mails_["6"]);
    int status = -1;
    const std::string err = qimtest::RunCommand("bash -c \"trap '' XFSZ; ulimit -f 64; exec '" + qimtest::BuiltProgram("qimtool") +
                                                    "' archive '" + folder_ + "' full\" 2>&1",
                                                &status);
    EXPECT_EQ(status, 1) << err;
    EXPECT_NE(err.find("エラーが起こりました。"), std::string::npos) << err;
    EXPECT_EQ(Left(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    for (const auto& [name, data] : mails_) EXPECT_TRUE(qimtest::ReadFileBytes(folder_ + "/" + name) == data) << name;
}

}  // namespace

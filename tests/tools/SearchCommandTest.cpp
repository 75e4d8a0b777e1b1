#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `qimtool search ARGS` in `dir` (so paths can be written relative).
Result Search(const qimtest::TempDir& dir, const std::vector<std::string>& args) {
    std::string command = "cd " + Quote(dir.Path()) + " && " + Quote(qimtest::BuiltProgram("qimtool")) + " search";
    for (const std::string& a : args) command += " " + Quote(a);
    Result r{-1, "", ""};
    r.out = qimtest::RunCommand(command + " 2> " + Quote(dir.File("stderr.log")), &r.status);
    r.err = qimtest::ReadFileBytes(dir.File("stderr.log"));
    return r;
}

std::string Mail(const std::string& subject, const std::string& body) {
    return "From: a@example.jp\r\nSubject: " + subject + "\r\n\r\n" + body + "\r\n";
}

// A folder as the store keeps it, with files and folders that are not mail.
class SearchFolders : public ::testing::Test {
protected:
    void SetUp() override {
        Mkdir("box");
        Write("box/1", Mail("Re: =?ISO-2022-JP?B?GyRCMnE1RCROTT1EahsoQg==?=", Sjis("本文に表示と書きます。")));
        Write("box/2", Mail("hello", "a needle in the body"));
        Write("box/10", Mail("Needle in the subject", "nothing"));
        Write("box/3", Mail("plain", "nothing at all"));
        Write("box/HCACHE.TXT", "needle needle\r\n");
        Write("box/007", Mail("needle", "needle"));
        Write("box/5x", Mail("needle", "needle"));
        Mkdir("box/12");
        Write("box/12/1", Mail("needle", "needle"));
        Mkdir("box/sub");
        Write("box/sub/4", Mail("needle", "needle"));
        Mkdir("empty");
        Mkdir("受信箱");  // UTF-8 on disk
        Write("受信箱/1", Mail("needle", ""));
    }
    void Mkdir(const std::string& name) { ASSERT_EQ(mkdir(dir_.File(name).c_str(), 0700), 0) << name; }
    void Write(const std::string& name, const std::string& data) { qimtest::WriteFileBytes(dir_.File(name), data); }
    Result Run(const std::vector<std::string>& args) { return Search(dir_, args); }

    qimtest::TempDir dir_;
};

TEST_F(SearchFolders, PrintsMatchingMailFilesInNumberOrder) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string out;
        int status;
    } cases[] = {
        {"whole mail, case folded; only numbered files, no subfolders", {"needle", "box"}, "box/2\nbox/10\n", 0},
        {"a trailing slash", {"needle", "box/"}, "box/2\nbox/10\n", 0},
        {"case kept", {"--case", "needle", "box"}, "box/2\n", 0},
        {"whole word", {"--word", "need", "box"}, "", 1},
        {"decoded subject in the whole mail", {"会議", "box"}, "box/1\n", 0},
        {"decoded subject in its field", {"--field", "Subject", "会議の予定", "box"}, "box/1\n", 0},
        {"field name with colon, any case", {"--field", "subject:", "会議", "box"}, "box/1\n", 0},
        {"field value at its start", {"--start", "--field", "Subject", "Re:", "box"}, "box/1\n", 0},
        {"header", {"--header", "needle", "box"}, "box/10\n", 0},
        {"body", {"--body", "needle", "box"}, "box/2\n", 0},
        {"encoded words are not in the body", {"--body", "会議", "box"}, "", 1},
        {"Shift_JIS body", {"--body", "表示", "box"}, "box/1\n", 0},
        {"no backslash in 表示", {"--case", "\\", "box"}, "", 1},
        {"files and folders in the order given", {"needle", "box/10", "empty", "box"}, "box/10\nbox/2\nbox/10\n", 0},
        {"a file that is not numbered, named", {"needle", "box/HCACHE.TXT"}, "box/HCACHE.TXT\n", 0},
        {"an empty folder", {"needle", "empty"}, "", 1},
        {"a Japanese folder name", {"needle", "受信箱"}, "受信箱/1\n", 0},
        {"a pattern beginning with a dash after --", {"--", "-x", "box"}, "", 1},
    };
    for (const Case& c : cases) {
        Result r = Run(c.args);
        EXPECT_EQ(r.out, c.out) << c.what;
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        EXPECT_EQ(r.err, "") << c.what;
    }
}

TEST_F(SearchFolders, UnreadableFilesAreReportedAndTheRestSearched) {
    Mkdir("bad");
    Write("bad/1", Mail("needle", ""));
    // A regular file that fails every read, even for root.
    ASSERT_EQ(symlink("/proc/self/mem", dir_.File("bad/2").c_str()), 0);
    Write("bad/3", Mail("needle", ""));
    Result r = Run({"needle", "bad", "missing/7", "box"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "bad/1\nbad/3\nbox/2\nbox/10\n");
    EXPECT_NE(r.err.find("bad/2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("missing/7"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("読めません"), std::string::npos) << r.err;

    Result none = Run({"nowhere", "bad"});
    EXPECT_EQ(none.status, 1) << "nothing found, though one file could not be read";
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("bad/2"), std::string::npos);
}

TEST_F(SearchFolders, BadUsageExitsWithTwo) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
    } cases[] = {
        {"nothing", {}},
        {"no path", {"needle"}},
        {"two places", {"--body", "--header", "needle", "box"}},
        {"field and body", {"--field", "To", "--body", "needle", "box"}},
        {"two fields", {"--field", "To", "--field", "Cc", "needle", "box"}},
        {"field without a name", {"--field"}},
        {"empty field name", {"--field", "", "needle", "box"}},
        {"field name of a colon only", {"--field", ":", "needle", "box"}},
        {"unknown option", {"--regex", "needle", "box"}},
        {"empty pattern", {"", "box"}},
        {"pattern too long", {std::string(257, 'x'), "box"}},
        {"pattern too long in Shift_JIS", {[] {
             std::string s;
             for (int i = 0; i < 129; ++i) s += "漢";
             return s;
         }(), "box"}},
        {"pattern with no Shift_JIS form", {"\xF0\x9F\x98\x80", "box"}},
        {"pattern not UTF-8", {"\xFF\xFE", "box"}},
    };
    for (const Case& c : cases) {
        Result r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_NE(r.err.find("使い方"), std::string::npos) << c.what << ": " << r.err;
    }
    Result longest = Run({std::string(256, 'x'), "box"});
    EXPECT_EQ(longest.status, 1) << "256 bytes is still a pattern: " << longest.err;
}

}  // namespace

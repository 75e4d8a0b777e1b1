// qimtool cache and folder, end to end on real folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "StoreTestSupport.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::TempDir;

std::string RunTool(const std::string& args, int* status) {
    return qimtest::RunCommand(qimtest::BuiltProgram("qimtool") + " " + args + " 2>/dev/null", status);
}

TEST(QimtoolCache, RebuildListAndNextOnAJapaneseFolder) {
    TempDir home;
    const std::string folder = home.Path() + "/\xE4\xBB\x95\xE4\xBA\x8B";  // 仕事, UTF-8 on disk
    mkdir(folder.c_str(), 0755);
    storetest::WriteMail(folder, 2, storetest::Mail(Sjis("会議"), "Sat, 01 Jan 2000 09:00:00 +0900", "b@x"));
    storetest::WriteMail(folder, 5, storetest::Mail("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=", "Fri, 31 Dec 1999 08:00:00 +0900", "c@x"));
    storetest::WriteMail(folder, 7, storetest::Mail("Re: x", "", "a@x", "to@x"));
    qimtest::WriteFileBytes(folder + "/notes.txt", "not a mail");
    int status = -1;
    RunTool("cache rebuild '" + folder + "'", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(qimtest::ReadFileBytes(folder + "/HCACHE.TXT"),
              "2 b@example.jp\r\nb@x\r\n" + Sjis("会議") + "\r\n00.01.01 09:00\r\n"
              "5 b@example.jp\r\nc@x\r\n" + Sjis("日本") + "\r\n99.12.31 08:00\r\n"
              "7 to@x\r\na@x\r\nRe: x\r\n00.00.00 00:00\r\n");
    struct Case {
        std::string options;
        std::string out;
    } cases[] = {
        {"", "7\t00.00.00 00:00\ta@x\tRe: x\n5\t99.12.31 08:00\tc@x\t" + Sjis("日本") +
                 "\n2\t00.01.01 09:00\tb@x\t" + Sjis("会議") + "\n"},
        // A mail without a date has the key 00.00.00: the start of 2000.
        {"--sort date", "5\t99.12.31 08:00\tc@x\t" + Sjis("日本") + "\n7\t00.00.00 00:00\ta@x\tRe: x\n" +
                            "2\t00.01.01 09:00\tb@x\t" + Sjis("会議") + "\n"},
        {"--sort from --reverse --utf8", "5\t99.12.31 08:00\tc@x\t日本\n2\t00.01.01 09:00\tb@x\t会議\n7\t00.00.00 00:00\ta@x\tRe: x\n"},
        {"--sort no --reverse --to --utf8", "2\t00.01.01 09:00\tb@example.jp\t会議\n5\t99.12.31 08:00\tb@example.jp\t日本\n7\t00.00.00 00:00\tto@x\tRe: x\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunTool("cache list '" + folder + "' " + c.options, &status), c.out) << c.options;
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(RunTool("folder next '" + folder + "'", &status), "8\n");
    EXPECT_EQ(status, 0);

    // Update appends the mails after the last record, until a number is missing,
    // with the bytes a rebuild writes for them.
    storetest::WriteMail(folder, 8, storetest::Mail(Sjis("追加"), "Sun, 02 Jan 2000 10:00:00 +0900", "d@x"));
    storetest::WriteMail(folder, 9, storetest::Mail("nine"));
    storetest::WriteMail(folder, 11, storetest::Mail("after a gap"));
    const std::string before = qimtest::ReadFileBytes(folder + "/HCACHE.TXT");
    RunTool("cache update '" + folder + "'", &status);
    ASSERT_EQ(status, 0);
    const std::string updated = qimtest::ReadFileBytes(folder + "/HCACHE.TXT");
    ASSERT_EQ(updated.compare(0, before.size(), before), 0);
    EXPECT_EQ(updated.substr(before.size()), "8 b@example.jp\r\nd@x\r\n" + Sjis("追加") + "\r\n00.01.02 10:00\r\n"
                                             "9 b@example.jp\r\na@example.jp\r\nnine\r\n26.12.10 13:15\r\n");
}

TEST(QimtoolCache, ExitStatus) {
    TempDir home;
    struct Case {
        std::string args;
        int status;
    } cases[] = {
        {"cache rebuild '" + home.Path() + "'", 0},
        {"folder next '" + home.Path() + "'", 0},
        {"cache rebuild '" + home.File("missing") + "'", 1},
        {"folder next '" + home.File("missing") + "'", 1},
        {"cache list '" + home.Path() + "' --sort size", 2},
        {"cache rebuild '" + home.Path() + "' --reverse", 2},
        {"cache update '" + home.Path() + "'", 0},
        {"cache update '" + home.File("missing") + "'", 1},
        {"cache update '" + home.Path() + "' --to", 2},
        {"cache", 2},
        {"folder last '" + home.Path() + "'", 2},
    };
    for (const Case& c : cases) {
        int status = -1;
        RunTool(c.args, &status);
        EXPECT_EQ(status, c.status) << c.args;
    }
    int status = -1;
    EXPECT_EQ(RunTool("folder next '" + home.Path() + "'", &status), "1\n");
}

}  // namespace

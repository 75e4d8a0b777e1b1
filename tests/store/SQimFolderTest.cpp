#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"
#include "support/TestSupport.h"

namespace {

using namespace qimstore;

TEST(SQimFolder, NumberingCountsEveryIntegerName) {
    struct Case {
        std::vector<std::string> files;
        std::vector<std::string> dirs;
        int expected;
    } cases[] = {
        {{}, {}, 0},
        {{"3", "010"}, {"12"}, 12},  // folders with number names count too
        {{" 7"}, {}, 7},
        {{"+7"}, {}, 7},
        {{"-3", "HCACHE.TXT", "a1", "1a"}, {}, 0},
        {{"5", "99999999999999"}, {}, 2147483647},
    };
    for (const Case& c : cases) {
        qimtest::TempDir dir;
        for (const auto& f : c.files) qimtest::WriteFileBytes(dir.File(f), "x");
        for (const auto& d : c.dirs) mkdir(dir.File(d).c_str(), 0755);
        SQimFolder folder(dir.Path());
        EXPECT_EQ(folder.ScanMaxNumber(), c.expected) << ::testing::PrintToString(c.files);
        EXPECT_EQ(folder.LastNumber(), c.expected);
    }
}

TEST(SQimFolder, SubfoldersSortedByName) {
    qimtest::TempDir dir;
    for (const char* d : {"b", "A", "a", "12", "\xE4\xBB\x95\xE4\xBA\x8B"}) mkdir(dir.File(d).c_str(), 0755);
    qimtest::WriteFileBytes(dir.File("c"), "a file");
    SQimFolder folder(dir.Path());
    EXPECT_EQ(folder.Subfolders(), (std::vector<std::string>{"12", "a", "A", "b", qimtest::Sjis("仕事")}));
}

TEST(SQimFolder, MarksAreTheOwnerBits) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("1"), "x");
    chmod(dir.File("1").c_str(), 0644);
    SQimFolder folder(dir.Path());
    EXPECT_EQ(folder.GetMarks(1), kMarkNone);
    ASSERT_TRUE(folder.SetMarks(1, kMarkRead));
    EXPECT_EQ(qimtest::FileMode(dir.File("1")), 0744u);
    ASSERT_TRUE(folder.SetMarks(1, kMarkImportant));
    EXPECT_EQ(qimtest::FileMode(dir.File("1")), 0544u);
    EXPECT_EQ(folder.GetMarks(1), kMarkRead | kMarkImportant);
    ASSERT_TRUE(folder.ClearMarks(1, kMarkRead));
    EXPECT_EQ(folder.GetMarks(1), kMarkImportant);
    ASSERT_TRUE(folder.ClearMarks(1, kMarkImportant));
    EXPECT_EQ(qimtest::FileMode(dir.File("1")), 0644u);
    EXPECT_EQ(folder.GetMarks(2), kMarkError);
    EXPECT_FALSE(folder.SetMarks(2, kMarkRead));
}

TEST(SQimFolder, ListStateOfAMail) {
    struct Case {
        unsigned char marks;
        bool inbox;
        int number;
        int expected;
    } cases[] = {
        {kMarkImportant, true, 9, kStateImportantUnread}, {kMarkImportant | kMarkRead, true, 9, kStateImportantRead},
        {kMarkRead, true, 9, kStateRead},                 {kMarkError, true, 9, kStateRead},
        {kMarkNone, true, 5, kStateNew},                  {kMarkNone, true, 4, kStateUnread},
        {kMarkNone, false, 9, kStateUnread},
    };
    for (const Case& c : cases) EXPECT_EQ(MailListState(c.marks, c.inbox, c.number, 5), c.expected) << int(c.marks);
    EXPECT_EQ(MailListState(kMarkNone, true, 9, 0), kStateUnread);  // nothing received yet
}

}  // namespace

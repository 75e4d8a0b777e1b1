#include <gtest/gtest.h>

#include <filesystem>

#include "platform/DurableFile.h"
#include "support/TestSupport.h"

namespace {

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a process that died before Commit left goes; nothing else does.
TEST(DurableFile, LeftoversOfADeadWriterAreRemovedAndNothingElse) {
    qimtest::TempDir dir;
    for (const char* name : {".qrAbC123.tmp", ".qrzzzzzz.tmp", "1", ".qrAbC123.tm", ".qrAbC1234.tmp", ".xxAbC123.tmp",
                             "qrAbC123.tmp", "HCACHE.TXT"})
        qimtest::WriteFileBytes(dir.File(name), "x");
    EXPECT_EQ(platform::DurableFile::RemoveLeftovers(dir.Path().c_str(), "qr"), 2);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{".qrAbC123.tm", ".qrAbC1234.tmp", ".xxAbC123.tmp", "1",
                                                            "HCACHE.TXT", "qrAbC123.tmp"}));
}

TEST(DurableFile, NameAppearsOnlyWithTheWholeFileAndNeverReplaces) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("2"), "older");
    std::string big(200000, 'x');
    {
        platform::DurableFile f;
        ASSERT_TRUE(f.Create(dir.Path().c_str(), "t"));
        ASSERT_TRUE(f.Write("head\r\n", 6));
        ASSERT_TRUE(f.Write(big.data(), big.size()));
        EXPECT_EQ(Names(dir.Path()).size(), 2u) << "only the hidden temporary name so far";
        EXPECT_FALSE(qimtest::FileExists(dir.File("1")));
        ASSERT_TRUE(f.Commit(dir.File("1").c_str()));
    }
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("1")), "head\r\n" + big);
    {
        platform::DurableFile f;
        ASSERT_TRUE(f.Create(dir.Path().c_str(), "t"));
        ASSERT_TRUE(f.Write("new", 3));
        EXPECT_FALSE(f.Commit(dir.File("2").c_str()));
        EXPECT_EQ(f.Error(), EEXIST);
    }
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("2")), "older");
    {
        platform::DurableFile f;  // dropped without Commit
        ASSERT_TRUE(f.Create(dir.Path().c_str(), "t"));
        ASSERT_TRUE(f.Write("part", 4));
    }
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"1", "2"}));
}

}  // namespace

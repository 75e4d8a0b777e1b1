#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileAttributes.h"
#include "support/TestSupport.h"

namespace {

using namespace platform;

TEST(FileAttributes, MapOntoModeBits) {
    struct Case {
        std::uint32_t attributes;
        unsigned mode;  // from 0644
    } cases[] = {
        {FILE_ATTRIBUTE_NORMAL, 0644},
        {FILE_ATTRIBUTE_READONLY, 0444},
        {FILE_ATTRIBUTE_ARCHIVE, 0744},
        {FILE_ATTRIBUTE_SYSTEM, 0654},
        {FILE_ATTRIBUTE_HIDDEN, 0645},
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 0544},
    };
    qimtest::TempDir dir;
    std::string path = dir.File("1");
    qimtest::WriteFileBytes(path, "x");
    for (const Case& c : cases) {
        chmod(path.c_str(), 0644);
        ASSERT_TRUE(SetFileAttributes(path.c_str(), c.attributes));
        EXPECT_EQ(qimtest::FileMode(path), c.mode) << c.attributes;
        EXPECT_EQ(GetFileAttributes(path.c_str()), c.attributes);
    }
}

TEST(FileAttributes, DirectoriesOnlyKnowTheDirectoryAttribute) {
    qimtest::TempDir dir;
    unsigned before = qimtest::FileMode(dir.Path());
    EXPECT_EQ(GetFileAttributes(dir.Path().c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(SetFileAttributes(dir.Path().c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(qimtest::FileMode(dir.Path()), before);
    EXPECT_EQ(GetFileAttributes(dir.File("missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetFileAttributes(dir.File("missing").c_str(), FILE_ATTRIBUTE_NORMAL));
}

}  // namespace

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

TEST(FileSystem, TempFilesAreNewFilesInAJapaneseFolder) {
    qimtest::TempDir dir;
    ASSERT_EQ(mkdir((dir.Path() + "/\xE4\xBD\x9C\xE6\xA5\xAD").c_str(), 0755), 0);  // 作業 on disk
    const std::string sjisDir = dir.Path() + "/\x8D\xEC\x8B\xC6";
    std::set<std::string> made;
    for (int i = 0; i < 20; ++i) {
        std::string path;
        ASSERT_TRUE(platform::CreateTempFile(sjisDir.c_str(), "qim", path));
        EXPECT_EQ(path.rfind(sjisDir + "/qim", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".tmp");
        EXPECT_TRUE(platform::PathExists(path.c_str()));
        made.insert(path);
    }
    EXPECT_EQ(made.size(), 20u);
    std::string path;
    EXPECT_FALSE(platform::CreateTempFile(dir.File("missing").c_str(), "qim", path));
    EXPECT_FALSE(platform::CreateTempFile((dir.Path() + "/\x85\x40").c_str(), "qim", path)) << "not Shift_JIS";
}

TEST(FileSystem, MoveFileNeverReplacesAFolderOrAFile) {
    qimtest::TempDir dir;
    ASSERT_EQ(mkdir(dir.File("a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.File("b").c_str(), 0755), 0);
    qimtest::WriteFileBytes(dir.File("a/1"), "one");
    EXPECT_FALSE(platform::MoveFile(dir.File("a").c_str(), dir.File("b").c_str()));
    EXPECT_TRUE(platform::MoveFile(dir.File("a").c_str(), dir.File("c").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("c/1")), "one");
    EXPECT_FALSE(platform::MoveFile(dir.File("c/1").c_str(), dir.File("c").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("c/1")), "one");
}

TEST(FileSystem, RemoveTreeOfADeepTree) {
    qimtest::TempDir dir;
    std::string path = dir.File("top");
    const std::string top = path;
    for (int depth = 0; depth < 200; ++depth) {
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        qimtest::WriteFileBytes(path + "/m", "x");
        path += "/d";
    }
    EXPECT_TRUE(platform::RemoveTree(top.c_str()));
    EXPECT_FALSE(platform::PathExists(top.c_str()));
}

TEST(FileSystem, TempDirectoryFollowsTmpdir) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/var/tmp/\xE4\xBD\x9C", 1);
    EXPECT_EQ(platform::TempDirectory(), "/var/tmp/\x8D\xEC");
    setenv("TMPDIR", "", 1);
    EXPECT_EQ(platform::TempDirectory(), "/tmp");
    if (old) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

}  // namespace

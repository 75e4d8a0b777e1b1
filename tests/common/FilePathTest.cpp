#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/FilePath.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"

namespace {

TEST(MergeFilePath, AddsASeparatorOnlyWhenNeeded) {
    struct Case {
        std::string dir, name, merged;
    } cases[] = {
        {"/q", "a", "/q/a"},
        {"/q/", "a", "/q/a"},
        {"/", "a", "/a"},
        {"", "a", "a"},
        {"/q", "", "/q/"},
        {"/q/\x95\x5C", "a", "/q/\x95\x5C/a"},  // 表 ends in the byte 0x5C, not in a separator
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        MergeFilePath(out, c.dir, c.name);
        EXPECT_EQ(out, c.merged);
    }
    std::string inPlace = "/home/q";
    MergeFilePath(inPlace, inPlace, "QimHome");
    EXPECT_EQ(inPlace, "/home/q/QimHome");
    std::string name = "x";
    MergeFilePath(name, "/d", name);
    EXPECT_EQ(name, "/d/x");
}

TEST(SplitFilePath, CutsAtTheLastSeparatorAndKeepsTheRoot) {
    struct Case {
        std::string path, dir, name;
    } cases[] = {
        {"/", "/", ""},
        {"/a", "/", "a"},
        {"/a/b", "/a", "b"},
        {"/a/b/", "/a/b", ""},
        {"b", "", "b"},
        {"", "", ""},
        {"/q/\x95\x5C/\x83\x5C", "/q/\x95\x5C", "\x83\x5C"},
    };
    for (const Case& c : cases) {
        std::string dir = "stale", name = "stale";
        EXPECT_TRUE(SplitFilePath(c.path, dir, name));
        EXPECT_EQ(dir, c.dir) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

TEST(MakeFullPath, ResolvesDotAndDotSlash) {
    struct Case {
        std::string base, rel, full;
    } cases[] = {
        {"/q", ".", "/q"},
        {"/q", "./sub", "/q/sub"},
        {"/q/", "./sub", "/q/sub"},
        {"/q", "a/b", "/q/a/b"},
        {"/q", "", "/q/"},
        {"/q", ".hidden", "/q/.hidden"},
    };
    for (const Case& c : cases) {
        std::string out;
        MakeFullPath(out, c.base, c.rel);
        EXPECT_EQ(out, c.full) << c.base << " + " << c.rel;
    }
}

TEST(IsSameDir, IgnoresATrailingSeparatorButNotCase) {
    EXPECT_TRUE(IsSameDir("/q/a", "/q/a/"));
    EXPECT_TRUE(IsSameDir("/q/a/", "/q/a"));
    EXPECT_FALSE(IsSameDir("/q/a", "/q/A")) << "Linux file names are case-sensitive";
    EXPECT_FALSE(IsSameDir("/q/a", "/q/ab"));
    EXPECT_TRUE(IsSameDir("", ""));
}

TEST(IsSubfolder, MatchesWholeComponentsOnly) {
    struct Case {
        std::string folder, candidate;
        bool deep, result;
    } cases[] = {
        {"/q/A", "/q/AB", true, false},
        {"/q/A", "/q/A/B", true, true},
        {"/q/A/", "/q/A/B/C", true, true},
        {"/q/A", "/q/A/B", false, false},
        {"/q/A", "/q/A/", false, true},
        {"/q/A/B", "/q/A", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSubfolder(c.folder, c.candidate, c.deep), c.result) << c.folder << " / " << c.candidate;
    }
}

// Paths around the size of the fixed buffers of the stored formats: the string
// functions neither cut nor overrun them.
TEST(PathFunctions, HandlePathsAroundTheFixedBufferSize) {
    for (std::size_t length : {258u, 259u, 260u, 261u, 4096u}) {
        std::string dir(length, 'd');
        dir[0] = '/';
        std::string merged, splitDir, splitName, full;
        MergeFilePath(merged, dir, "12345");
        EXPECT_EQ(merged.size(), length + 6);
        ASSERT_TRUE(SplitFilePath(merged, splitDir, splitName));
        EXPECT_EQ(splitDir, dir);
        EXPECT_EQ(splitName, "12345");
        MakeFullPath(full, dir, "./12345");
        EXPECT_EQ(full, merged);
        EXPECT_TRUE(IsSubfolder(dir, merged, true));
        EXPECT_FALSE(DoesFileExist(merged.c_str()));
    }
}

TEST(FileChecks, TellFilesFromFoldersWithJapaneseNames) {
    qimtest::TempDir dir;
    // 仕事 (8E 64 8E 96) as Shift_JIS inside, UTF-8 on disk.
    const std::string folder = dir.Path() + "/\x8E\x64\x8E\x96";
    ASSERT_EQ(mkdir((dir.Path() + "/\xE4\xBB\x95\xE4\xBA\x8B").c_str(), 0755), 0);
    const std::string file = folder + "/1";
    qimtest::WriteFileBytes(dir.Path() + "/\xE4\xBB\x95\xE4\xBA\x8B/1", "12345");
    ASSERT_EQ(symlink("nowhere", dir.File("dangling").c_str()), 0);

    EXPECT_TRUE(DoesDirectoryExist(folder.c_str()));
    EXPECT_TRUE(DoesFileExist(folder.c_str()));
    EXPECT_TRUE(DoesFileExist(file.c_str()));
    EXPECT_FALSE(DoesDirectoryExist(file.c_str())) << "a file is not a folder";
    EXPECT_FALSE(DoesFileExist((folder + "/2").c_str()));
    EXPECT_TRUE(DoesFileExist(dir.File("dangling").c_str())) << "the name is taken";
    EXPECT_FALSE(DoesFileExist(nullptr));

    unsigned long low = 99, high = 99;
    ASSERT_TRUE(GetFileSize(file.c_str(), &low, &high));
    EXPECT_EQ(low, 5u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(GetFileSize(file.c_str(), &low, nullptr));
    EXPECT_FALSE(GetFileSize(folder.c_str(), &low, &high));
    EXPECT_FALSE(GetFileSize((folder + "/2").c_str(), &low, &high));
}

TEST(GetFileSize, GivesTheHighHalfOfALargeFile) {
    qimtest::TempDir dir;
    const std::string path = dir.File("sparse");
    qimtest::WriteFileBytes(path, "");
    ASSERT_EQ(truncate(path.c_str(), (5LL << 32) + 7), 0);
    unsigned long low = 0, high = 0;
    ASSERT_TRUE(GetFileSize(path.c_str(), &low, &high));
    EXPECT_EQ(low, 7u);
    EXPECT_EQ(high, 5u);
}

TEST(DeleteDirectory, RemovesTheWholeTreeButNeverFollowsLinks) {
    qimtest::TempDir dir;
    const std::string outside = dir.File("outside");
    ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
    qimtest::WriteFileBytes(outside + "/keep", "keep");

    const std::string tree = dir.File("tree");
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tree + "/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tree + "/sub/\xE4\xBB\x95\xE4\xBA\x8B").c_str(), 0755), 0);
    qimtest::WriteFileBytes(tree + "/1", "mail");
    qimtest::WriteFileBytes(tree + "/sub/\xE4\xBB\x95\xE4\xBA\x8B/2", "mail");
    qimtest::WriteFileBytes(tree + "/sub/important", "mail");
    chmod((tree + "/sub/important").c_str(), 0444);
    ASSERT_EQ(symlink(outside.c_str(), (tree + "/sub/link").c_str()), 0);

    EXPECT_TRUE(DeleteDirectory(tree.c_str()));
    EXPECT_FALSE(qimtest::FileExists(tree));
    EXPECT_EQ(qimtest::ReadFileBytes(outside + "/keep"), "keep");

    EXPECT_TRUE(DeleteDirectory(dir.File("never-was").c_str()));
    qimtest::WriteFileBytes(dir.File("plain"), "x");
    EXPECT_FALSE(DeleteDirectory(dir.File("plain").c_str()));
    EXPECT_TRUE(qimtest::FileExists(dir.File("plain")));
    ASSERT_EQ(symlink(outside.c_str(), dir.File("dirlink").c_str()), 0);
    EXPECT_FALSE(DeleteDirectory(dir.File("dirlink").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(outside + "/keep"), "keep");
}

TEST(MoveFileKeepAttrib, MovesAMailWithItsMarksAndNeverReplaces) {
    qimtest::TempDir dir;
    // Read (owner-x) and important (not writable) marks, plus the group-x bit
    // of the system attribute.
    qimtest::WriteFileBytes(dir.File("1"), "first");
    chmod(dir.File("1").c_str(), 0554);
    ASSERT_TRUE(MoveFileKeepAttrib(dir.File("1").c_str(), dir.File("7").c_str()));
    EXPECT_FALSE(qimtest::FileExists(dir.File("1")));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("7")), "first");
    EXPECT_EQ(qimtest::FileMode(dir.File("7")), 0554u);

    qimtest::WriteFileBytes(dir.File("2"), "second");
    EXPECT_FALSE(MoveFileKeepAttrib(dir.File("2").c_str(), dir.File("7").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("7")), "first");
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("2")), "second");
    EXPECT_FALSE(MoveFileKeepAttrib(dir.File("none").c_str(), dir.File("8").c_str()));
}

TEST(MoveFileKeepAttrib, MovesAcrossFileSystems) {
    struct stat a, b;
    qimtest::TempDir dir;
    if (stat(dir.Path().c_str(), &a) != 0 || stat("/dev/shm", &b) != 0 || a.st_dev == b.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    char shm[] = "/dev/shm/qimtest.XXXXXX";
    ASSERT_NE(mkdtemp(shm), nullptr);
    const std::string other = std::string(shm) + "/9";
    qimtest::WriteFileBytes(dir.File("1"), "mail body");
    chmod(dir.File("1").c_str(), 0500);
    const bool moved = MoveFileKeepAttrib(dir.File("1").c_str(), other.c_str());
    const std::string movedText = qimtest::ReadFileBytes(other);
    const unsigned mode = qimtest::FileMode(other);
    qimtest::WriteFileBytes(dir.File("2"), "other");
    const bool replaced = MoveFileKeepAttrib(dir.File("2").c_str(), other.c_str());
    const std::string after = qimtest::ReadFileBytes(other);
    unlink(other.c_str());
    rmdir(shm);
    EXPECT_TRUE(moved);
    EXPECT_EQ(movedText, "mail body");
    EXPECT_EQ(mode, 0500u);
    EXPECT_FALSE(qimtest::FileExists(dir.File("1")));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(after, "mail body");
    EXPECT_TRUE(qimtest::FileExists(dir.File("2")));
}

}  // namespace

// Listing a folder, and the file operations the mail store adds: copy without
// replacing, replace of a derived file, removal of an empty folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/DirectoryList.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

using namespace platform;

TEST(DirectoryList, NamesKindsAndLinks) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("1"), "x");
    mkdir(dir.File("sub").c_str(), 0755);
    mkdir(dir.File("\xE4\xBB\x95\xE4\xBA\x8B").c_str(), 0755);  // 仕事 on disk
    qimtest::WriteFileBytes(dir.File("\xF0\x9F\x98\x80"), "x");  // no Shift_JIS form: left out
    symlink("sub", dir.File("link").c_str());
    symlink("missing", dir.File("dangling").c_str());
    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.Path().c_str(), entries));
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::vector<std::tuple<std::string, EntryKind, bool>> got;
    for (const auto& e : entries) got.emplace_back(e.name, e.kind, e.symlink);
    const std::vector<std::tuple<std::string, EntryKind, bool>> expected = {
        {"1", EntryKind::File, false},
        {"dangling", EntryKind::Other, true},
        {"link", EntryKind::Directory, true},
        {"sub", EntryKind::Directory, false},
        {qimtest::Sjis("仕事"), EntryKind::Directory, false},
    };
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(ListDirectory(dir.File("none").c_str(), entries));

    // The folders alone, a link to one among them (its kind is its target's).
    ASSERT_TRUE(ListSubfolders(dir.Path().c_str(), entries));
    std::vector<std::string> folders;
    for (const auto& e : entries) folders.push_back(e.name);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"link", "sub", qimtest::Sjis("仕事")}));
    EXPECT_FALSE(ListSubfolders(dir.File("none").c_str(), entries));
}

TEST(FileSystem, CopyNeverReplacesAndKeepsTheMode) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("a"), "mail a");
    chmod(dir.File("a").c_str(), 0544);
    qimtest::WriteFileBytes(dir.File("b"), "mail b");
    EXPECT_FALSE(CopyFileNoReplace(dir.File("a").c_str(), dir.File("b").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("b")), "mail b");
    ASSERT_TRUE(CopyFileNoReplace(dir.File("a").c_str(), dir.File("c").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("c")), "mail a");
    EXPECT_EQ(qimtest::FileMode(dir.File("c")), 0544u);
    EXPECT_FALSE(CopyFileNoReplace(dir.File("none").c_str(), dir.File("d").c_str()));
    // No temporary file stays behind.
    std::vector<DirectoryEntry> entries;
    ListDirectory(dir.Path().c_str(), entries);
    EXPECT_EQ(entries.size(), 3u);

    ASSERT_TRUE(ReplaceFile(dir.File("c").c_str(), dir.File("b").c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("b")), "mail a");
    EXPECT_FALSE(qimtest::FileExists(dir.File("c")));
}

TEST(FileSystem, RemoveDirectoryOnlyWhenEmpty) {
    qimtest::TempDir dir;
    mkdir(dir.File("full").c_str(), 0755);
    qimtest::WriteFileBytes(dir.File("full/1"), "x");
    mkdir(dir.File("empty").c_str(), 0755);
    EXPECT_FALSE(RemoveDirectory(dir.File("full").c_str()));
    EXPECT_TRUE(qimtest::FileExists(dir.File("full/1")));
    EXPECT_TRUE(RemoveDirectory(dir.File("empty").c_str()));
    EXPECT_FALSE(qimtest::FileExists(dir.File("empty")));
    EXPECT_TRUE(IsRegularFile(dir.File("full/1").c_str()));
    EXPECT_FALSE(IsRegularFile(dir.File("full").c_str()));
}

}  // namespace

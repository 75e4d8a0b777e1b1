// The caches that stand in for server folders: where they live, the mark and
// size records of ACACHE.BIN, the filled marker, the headers a fetch brings,
// and the paths from the server that must not lead out of the cache root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "imap/QimPFolderPath.h"
#include "imap/SImap4Flags.h"
#include "imap/SQimPMemCacheFolder.h"
#include "imap/SQimTmpFolderPath.h"
#include "store/QimStoreCodes.h"
#include "platform/TextFile.h"
#include "store/SQimCacheFolder.h"
#include "support/TestSupport.h"

namespace {

using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::TempDir;
using qimtest::WriteFileBytes;

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
}

// One header as a fetch hands it over, line by line with CR LF, then its end.
bool Receive(SQimPMemCacheFolder& cache, const std::string& header, unsigned char mark, std::uint32_t size,
             int serverNumber, bool ok = true) {
    cache.BeginHeader();
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find('\n', start);
        end = end == std::string::npos ? header.size() : end + 1;
        cache.HeaderLine(header.substr(start, end - start).c_str());
        start = end;
    }
    return cache.EndHeader(mark, size, serverNumber, ok);
}

std::string Header(const std::string& subject, const std::string& from = "a@example.jp") {
    return "Date: Thu, 10 Dec 2026 13:15:00 +0900\r\nFrom: " + from + "\r\nTo: b@example.jp\r\nSubject: " + subject +
           "\r\n\r\n";
}

class QimPCache : public ::testing::Test {
protected:
    TempDir tmp;
    SQimPMemCacheFolder cache{tmp.Path().c_str()};

    std::string Root() { return cache.CacheRoot(); }
    // A server folder with its directory, reset as before a fetch.
    void Select(const std::string& path) {
        ASSERT_TRUE(cache.MakeDirectory(path));
        cache.SetFolder(path);
        ASSERT_TRUE(cache.Reset());
    }
    std::vector<int> Numbers() {
        cache.Load();
        std::vector<int> numbers;
        for (const SQimMailData& r : cache.Records()) numbers.push_back(r.number);
        return numbers;
    }
};

TEST(QimPCacheRoot, IsAHiddenPrivateDirectoryRemovedWithoutFollowingLinks) {
    TempDir tmp, outside;
    WriteFileBytes(outside.File("keep"), "x");
    std::string root;
    {
        SQimTmpFolderPath path(tmp.Path().c_str());
        root = path.Path();
        ASSERT_FALSE(root.empty());
        EXPECT_EQ(root.rfind(tmp.Path() + "/.", 0), 0u) << root;
        struct stat st;
        ASSERT_EQ(stat(root.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        std::filesystem::create_directories(root + "/A/B");
        WriteFileBytes(root + "/A/B/HCACHE.TXT", "1 x\r\n");
        ASSERT_EQ(symlink(outside.Path().c_str(), (root + "/A/link").c_str()), 0);
    }
    EXPECT_FALSE(qimtest::FileExists(root));
    EXPECT_EQ(ReadFileBytes(outside.File("keep")), "x");
}

TEST(QimPCachePath, ServerFoldersAreTheRootAndWhatLiesBelowIt) {
    struct Case {
        const char* path;
        bool server;
    } cases[] = {
        {"_QimP", true}, {"_QimP\\A", true}, {"_QimP/A", true}, {"_QimPX", false},
        {"_qimp\\A", false}, {"", false}, {"Inbox\\_QimP", false},
    };
    for (const Case& c : cases) EXPECT_EQ(qimimap::IsQimPFolder(c.path), c.server) << c.path;
}

TEST_F(QimPCache, FoldersMapToDirectoriesBelowTheRootAndNoWhereElse) {
    const std::string hyo = Sjis("表");  // its second byte is 0x5C
    ASSERT_EQ(hyo[1], '\\');
    struct Case {
        std::string path;
        std::string dir;  // below the root; "-" refused
    } cases[] = {
        {"_QimP", ""},
        {"_QimP\\A\\B", "/A/B"},
        {"_QimP/A/B", "/A/B"},
        {"_QimP\\A\\B\\", "/A/B"},
        {"_QimP\\", ""},
        {"_QimP\\A\\\\B", "-"},
        {"_QimP\\/etc", "-"},
        {"_QimP\\A\\\\", "-"},
        {"_QimP\\" + hyo + "\\B", "/" + hyo + "/B"},
        {"_QimP\\..", "-"},
        {"_QimP\\A\\..\\..\\etc", "-"},
        {"_QimP/../x", "-"},
        {"_QimP\\.\\A", "-"},
        // A first byte does not hide the separator after it.
        {"_QimP\\\x95/..", "-"},
        {std::string("_QimP\\A\0B", 9), "-"},
        {"Inbox", "-"},
    };
    for (const Case& c : cases) {
        std::string dir;
        const bool mapped = cache.CacheDirectoryOf(c.path, dir);
        if (c.dir == "-") {
            EXPECT_FALSE(mapped) << c.path;
            EXPECT_TRUE(dir.empty()) << c.path;
        } else {
            EXPECT_TRUE(mapped) << c.path;
            EXPECT_EQ(dir, Root() + c.dir) << c.path;
        }
    }
}

TEST_F(QimPCache, APathThatLeadsOutOfTheRootMakesAndWritesNothing) {
    const std::string root = Root();
    const std::string escape = "_QimP\\..\\..";
    EXPECT_FALSE(cache.MakeDirectory(escape + "\\made"));
    cache.SetFolder(escape);
    EXPECT_TRUE(cache.IsServerFolder());
    EXPECT_TRUE(cache.CachePath().empty());
    EXPECT_FALSE(cache.Reset());
    EXPECT_FALSE(cache.SetFilled(true));
    EXPECT_FALSE(cache.IsFilled());
    EXPECT_FALSE(Receive(cache, Header("s"), 0, 10, 0));
    EXPECT_FALSE(Receive(cache, Header("s"), 0, 10, 4));
    EXPECT_FALSE(cache.SetMark(1, 1));
    EXPECT_FALSE(cache.ResetOf(escape));
    EXPECT_FALSE(cache.RemoveDirectory(escape));
    EXPECT_FALSE(cache.RenameDirectory("_QimP\\A", escape + "\\A"));
    // The temporary folder holds the root and nothing else; nothing went above it.
    EXPECT_EQ(Entries(tmp.Path()).size(), 1u);
    EXPECT_FALSE(qimtest::FileExists(tmp.File("HCACHE.TXT")));
    EXPECT_FALSE(qimtest::FileExists(tmp.File("made")));
    EXPECT_TRUE(qimtest::FileExists(root));
}

TEST_F(QimPCache, RecordThreeLivesAtBytesFifteenToNineteenWithZerosBefore) {
    Select("_QimP\\A");
    ASSERT_EQ(cache.MarkSizePath(), Root() + "/A/ACACHE.BIN");
    ASSERT_TRUE(std::filesystem::remove(cache.MarkSizePath()));
    ASSERT_TRUE(cache.SetMark(3, 0x05));
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()), std::string(15, '\0') + "\x05");
    EXPECT_EQ(cache.GetMark(3), 0x05);
    EXPECT_EQ(cache.GetMark(1), 0);      // inside the file: zeros
    EXPECT_EQ(cache.GetSize(3), -1);     // its size bytes are not there yet
    EXPECT_EQ(cache.GetMark(4), 255);
    ASSERT_TRUE(Receive(cache, Header("third"), 0x01, 0x12345678u, 3));
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()), std::string(15, '\0') + "\x01\x78\x56\x34\x12");
    EXPECT_EQ(cache.GetSize(3), 0x12345678);
    EXPECT_EQ(cache.GetSize(2), 0);
    EXPECT_EQ(cache.GetSize(4), -1);
}

TEST_F(QimPCache, MarksAreChangedInPlaceAndTheStoreOperationsReachThem) {
    Select("_QimP\\A");
    ASSERT_TRUE(Receive(cache, Header("one"), 0x07, 300, 0));
    ASSERT_TRUE(cache.ClearMark(1, qimstore::kMarkRead));
    EXPECT_EQ(cache.GetMark(1), 0x06);
    EXPECT_EQ(cache.GetSize(1), 300);  // the size is left as it was
    SQimFolder& folder = cache;
    EXPECT_EQ(folder.GetMarks(1), 0x06);
    ASSERT_TRUE(folder.SetMarks(1, qimstore::kMarkRead));  // adds, as for a local mail
    EXPECT_EQ(cache.GetMark(1), 0x07);
    ASSERT_TRUE(folder.ClearMarks(1, 0x06));
    EXPECT_EQ(cache.GetMark(1), 0x01);
    ASSERT_TRUE(cache.SetMark(1, 0x04));  // writes the byte as it is
    EXPECT_EQ(cache.GetMark(1), 0x04);
    EXPECT_FALSE(cache.ClearMark(2, 1));   // no record: nothing to change
    EXPECT_FALSE(folder.SetMarks(2, 1));
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()).size(), 10u);
}

TEST_F(QimPCache, RecordNumbersWithoutAPlaceInTheFileAreRefused) {
    Select("_QimP\\A");
    ASSERT_TRUE(cache.SetMark(1, 1));
    const std::string before = ReadFileBytes(cache.MarkSizePath());
    for (int n : {0, -1, INT_MIN, SQimPMemCacheFolder::kMaxRecordNumber + 1, INT_MAX / 5 + 1, INT_MAX}) {
        EXPECT_FALSE(cache.SetMark(n, 1)) << n;
        EXPECT_FALSE(cache.ClearMark(n, 1)) << n;
        EXPECT_EQ(cache.GetMark(n), 255) << n;
        EXPECT_EQ(cache.GetSize(n), -1) << n;
        EXPECT_FALSE(Receive(cache, Header("s"), 0, 1, n < 0 ? n : n == 0 ? -7 : n)) << n;
    }
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()), before);
    EXPECT_EQ(Numbers(), std::vector<int>{});
}

TEST_F(QimPCache, AShortOrBrokenMarkFileReadsAsUnknown) {
    Select("_QimP\\A");
    // Record 1 complete, record 2 cut after its mark and one size byte.
    WriteFileBytes(cache.MarkSizePath(), std::string(5, '\0') + std::string("\x01\x10\x00\x00\x00", 5) + "\x03\x20");
    EXPECT_EQ(cache.GetMark(1), 0x01);
    EXPECT_EQ(cache.GetSize(1), 16);
    EXPECT_EQ(cache.GetMark(2), 0x03);
    EXPECT_EQ(cache.GetSize(2), -1);
    WriteFileBytes(cache.CachePath(), "1 \r\n\r\n\r\n00.00.00 00:00\r\n2 \r\n\r\n\r\n00.00.00 00:00\r\n");
    EXPECT_EQ(cache.TotalSize(), 16);
    // A directory where the file should be.
    ASSERT_TRUE(std::filesystem::remove(cache.MarkSizePath()));
    std::filesystem::create_directory(cache.MarkSizePath());
    EXPECT_EQ(cache.GetMark(1), 255);
    EXPECT_EQ(cache.GetSize(1), -1);
    EXPECT_FALSE(cache.SetMark(1, 1));
    EXPECT_EQ(cache.TotalSize(), 0);
}

TEST_F(QimPCache, TotalSizeReadsTheFileOnceHoweverHighTheLastNumber) {
    Select("_QimP\\A");
    ASSERT_TRUE(Receive(cache, Header("one"), 0, 1000, 0));
    ASSERT_TRUE(Receive(cache, Header("two"), 0, 24, 0));
    EXPECT_EQ(cache.TotalSize(), 1024);
    // A cache whose last record claims a number near the top.
    platform::TextFile out;
    ASSERT_TRUE(out.Open(cache.CachePath().c_str(), "a"));
    ASSERT_TRUE(out.Puts("2000000000 \n\n\n00.00.00 00:00\n"));
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(cache.LastNumber(), 2000000000);
    EXPECT_EQ(cache.TotalSize(), 1024);
    // Sums beyond 32 bits.
    ASSERT_TRUE(Receive(cache, Header("big"), 0, 0xffffffffu, 3));
    EXPECT_EQ(cache.TotalSize(), 1024 + 4294967295LL);
}

TEST_F(QimPCache, FilledMarkerRoundTrip) {
    Select("_QimP\\A");
    EXPECT_FALSE(cache.IsFilled());
    EXPECT_TRUE(cache.NeedsFetch());
    EXPECT_EQ(ReadFileBytes(cache.CachePath()), "");
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()), "");
    EXPECT_EQ(cache.LastNumber(), 0);
    // Headers written during a fetch do not make the cache filled: a fetch
    // that stops halfway is fetched again.
    ASSERT_TRUE(Receive(cache, Header("one"), 1, 10, 0));
    EXPECT_FALSE(cache.IsFilled());
    ASSERT_TRUE(cache.SetFilled(true));
    EXPECT_TRUE(cache.IsFilled());
    EXPECT_FALSE(cache.NeedsFetch());
    EXPECT_NE(qimtest::FileMode(cache.MarkSizePath()) & S_IXUSR, 0u);
    // Filled is kept when the folder is selected again.
    cache.SetFolder("_QimP");
    cache.SetFolder("_QimP\\A");
    EXPECT_TRUE(cache.IsFilled());
    EXPECT_EQ(Numbers(), std::vector<int>{1});
    ASSERT_TRUE(cache.Reset());
    EXPECT_FALSE(cache.IsFilled());
    EXPECT_EQ(ReadFileBytes(cache.CachePath()), "");
    EXPECT_EQ(ReadFileBytes(cache.MarkSizePath()), "");
    EXPECT_EQ(cache.Count(), 0);  // the list no longer shows what was emptied
    EXPECT_EQ(qimtest::FileMode(cache.CachePath()) & S_IXUSR, 0u);
}

TEST_F(QimPCache, AnotherFoldersCacheIsFilledAndResetByItsPath) {
    ASSERT_TRUE(cache.MakeDirectory("_QimP\\B"));
    Select("_QimP\\A");
    ASSERT_TRUE(cache.ResetOf("_QimP\\B"));
    ASSERT_TRUE(cache.SetFilledOf("_QimP\\B", true));
    EXPECT_FALSE(cache.IsFilled());
    cache.SetFolder("_QimP\\B");
    EXPECT_TRUE(cache.IsFilled());
    ASSERT_TRUE(cache.ResetOf("_QimP/B"));
    EXPECT_FALSE(cache.IsFilled());
    EXPECT_FALSE(cache.SetFilledOf("_QimP\\Missing", true));
    // A local path has no cache of this kind: nothing happens.
    EXPECT_TRUE(cache.ResetOf(tmp.Path()));
    EXPECT_FALSE(qimtest::FileExists(tmp.File("HCACHE.TXT")));
}

TEST_F(QimPCache, AllHeadersAreNumberedFromOneAndReadBackByTheLocalCacheReader) {
    Select("_QimP\\Work");
    const std::string folded = "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n\tword\r\n";
    const std::string mail = "From: " + Sjis("山田") + " <y@example.jp>\r\nTo: b@example.jp\r\n" + folded +
                             "Date: Fri, 31 Dec 1999 23:59:10 +0900\r\n\r\n";
    ASSERT_TRUE(Receive(cache, mail, 0x01, 2048, 0));
    ASSERT_TRUE(Receive(cache, Header("tab\there"), 0x00, 1, 0));
    ASSERT_TRUE(Receive(cache, "Subject: no date\r\n\r\n", qimimap::kMarkRecent, 5, 0));
    EXPECT_EQ(cache.LastNumber(), 3);
    ASSERT_EQ(Numbers(), (std::vector<int>{1, 2, 3}));
    // The same texts the local cache makes of the same header in a mail file.
    WriteFileBytes(tmp.File("1"), mail + "body\r\n");
    SHeaderData expected;
    ASSERT_TRUE(SQimCacheFolder::ReadHeaderData(tmp.File("1").c_str(), expected));
    const SHeaderData& first = cache.Record(0).header;
    EXPECT_EQ(first.from, expected.from);
    EXPECT_EQ(first.to, "b@example.jp");
    EXPECT_EQ(first.subject, Sjis("日本語") + " word");
    EXPECT_EQ(first.date, "99.12.31 23:59");
    EXPECT_EQ(cache.Record(1).header.subject, "tab here");
    WriteFileBytes(tmp.File("3"), "Subject: no date\r\n\r\n");
    ASSERT_TRUE(SQimCacheFolder::ReadHeaderData(tmp.File("3").c_str(), expected));
    EXPECT_EQ(cache.Record(2).header.date, expected.date);
    // CR LF on disk, as every header cache.
    const std::string onDisk = ReadFileBytes(cache.CachePath());
    EXPECT_NE(onDisk.find("\r\n3 \r\n\r\nno date\r\n" + expected.date + "\r\n"), std::string::npos) << onDisk;
    EXPECT_EQ(cache.GetMark(3), qimimap::kMarkRecent);
    EXPECT_EQ(cache.GetMark(1), 0x01);
    EXPECT_EQ(cache.GetSize(1), 2048);
    EXPECT_EQ(cache.GetSize(3), 5);
    EXPECT_EQ(cache.TotalSize(), 2048 + 1 + 5);
}

TEST_F(QimPCache, RecentHeadersKeepTheServersNumbers) {
    Select("_QimP");
    ASSERT_EQ(cache.CachePath(), Root() + "/HCACHE.TXT");
    ASSERT_TRUE(Receive(cache, Header("five"), qimimap::kMarkRecent, 50, 5));
    ASSERT_TRUE(Receive(cache, Header("nine"), qimimap::kMarkRecent | qimstore::kMarkRead, 90, 9));
    ASSERT_TRUE(cache.SetFilled(true));
    EXPECT_EQ(Numbers(), (std::vector<int>{5, 9}));
    EXPECT_EQ(cache.Record(1).header.subject, "nine");
    EXPECT_EQ(cache.LastNumber(), 9);
    EXPECT_EQ(cache.GetMark(9), qimimap::kMarkRecent | qimstore::kMarkRead);
    EXPECT_EQ(cache.GetSize(7), 0);
    EXPECT_EQ(cache.TotalSize(), 140);
}

TEST_F(QimPCache, WhatCannotBeStoredStopsTheFetchAndWhatFailedIsLeftOut) {
    Select("_QimP\\A");
    // A FETCH that failed, and a header without lines: nothing is written,
    // and the fetch goes on.
    EXPECT_TRUE(Receive(cache, Header("failed"), 0, 10, 0, false));
    EXPECT_TRUE(Receive(cache, "", 0, 10, 0));
    EXPECT_EQ(ReadFileBytes(cache.CachePath()), "");
    // Lines after the header's end are no header lines.
    ASSERT_TRUE(Receive(cache, "Subject: one\r\n\r\nSubject: body\r\n", 0, 10, 0));
    EXPECT_EQ(Numbers(), std::vector<int>{1});
    EXPECT_EQ(cache.Record(0).header.subject, "one");
    // The next number would not fit.
    WriteFileBytes(cache.CachePath(), "2147483647 \r\n\r\n\r\n00.00.00 00:00\r\n");
    EXPECT_FALSE(Receive(cache, Header("after the last"), 0, 10, 0));
    // Without a cache file (no reset before the fetch) the next number is unknown.
    ASSERT_TRUE(std::filesystem::remove(cache.CachePath()));
    EXPECT_FALSE(Receive(cache, Header("no reset"), 0, 10, 0));
    EXPECT_FALSE(qimtest::FileExists(cache.CachePath()));
    // A local folder is no place for server headers.
    cache.SetFolder(tmp.Path());
    EXPECT_FALSE(Receive(cache, Header("local"), 0, 10, 7));
}

TEST_F(QimPCache, DirectoriesAreMadeMovedAndRemovedBelowTheRootOnly) {
    ASSERT_TRUE(cache.MakeDirectory("_QimP\\A\\B\\C"));
    EXPECT_TRUE(std::filesystem::is_directory(Root() + "/A/B/C"));
    EXPECT_TRUE(cache.MakeDirectory("_QimP\\A\\B\\C"));  // already there
    cache.SetFolder("_QimP\\A\\B");
    ASSERT_TRUE(cache.Reset());
    ASSERT_TRUE(Receive(cache, Header("kept"), 1, 10, 0));
    ASSERT_TRUE(cache.RenameDirectory("_QimP\\A\\B", "_QimP\\X\\Y"));
    EXPECT_FALSE(qimtest::FileExists(Root() + "/A/B"));
    EXPECT_TRUE(std::filesystem::is_directory(Root() + "/X/Y/C"));
    cache.SetFolder("_QimP\\X\\Y");
    EXPECT_EQ(Numbers(), std::vector<int>{1});
    EXPECT_EQ(cache.GetSize(1), 10);
    // Never onto another folder's cache, never into itself, never the root.
    ASSERT_TRUE(cache.MakeDirectory("_QimP\\Z"));
    EXPECT_FALSE(cache.RenameDirectory("_QimP\\X", "_QimP\\Z"));
    EXPECT_FALSE(cache.RenameDirectory("_QimP\\X", "_QimP\\X\\Y\\X"));
    EXPECT_FALSE(qimtest::FileExists(Root() + "/X/Y/X"));
    EXPECT_FALSE(cache.RenameDirectory("_QimP", "_QimP\\R"));
    EXPECT_FALSE(cache.RenameDirectory("_QimP\\Missing", "_QimP\\M"));
    ASSERT_TRUE(cache.RemoveDirectory("_QimP\\X"));
    EXPECT_FALSE(qimtest::FileExists(Root() + "/X"));
    EXPECT_TRUE(cache.RemoveDirectory("_QimP\\X"));  // nothing left to remove
    EXPECT_FALSE(cache.RemoveDirectory("_QimP"));
    EXPECT_FALSE(cache.RemoveDirectory("_QimP\\"));
    EXPECT_TRUE(std::filesystem::is_directory(Root() + "/Z"));
    // A file in the way of a directory.
    WriteFileBytes(Root() + "/F", "");
    EXPECT_FALSE(cache.MakeDirectory("_QimP\\F\\G"));
}

TEST_F(QimPCache, ALocalFolderIsTheLocalStoresOwn) {
    const std::string folder = tmp.Path() + "/local";
    std::filesystem::create_directory(folder);
    WriteFileBytes(folder + "/1", "Subject: a\r\n\r\n12345");
    WriteFileBytes(folder + "/4", "Subject: b\r\n\r\n");
    cache.SetFolder(folder);
    EXPECT_FALSE(cache.IsServerFolder());
    EXPECT_TRUE(cache.IsFilled());
    EXPECT_TRUE(cache.SetFilled(false));
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 4}));  // the local cache was built
    EXPECT_EQ(cache.LastNumber(), 4);
    EXPECT_EQ(cache.GetSize(1), 19);
    EXPECT_EQ(cache.GetSize(2), -1);
    EXPECT_EQ(cache.TotalSize(), 19 + 14);
    EXPECT_EQ(cache.GetMark(1), qimstore::kMarkNone);
    ASSERT_TRUE(cache.SetMark(1, qimstore::kMarkRead));
    EXPECT_NE(qimtest::FileMode(folder + "/1") & S_IXUSR, 0u);
    EXPECT_FALSE(qimtest::FileExists(folder + "/ACACHE.BIN"));
    // A mail named by the highest number costs no more than the others.
    WriteFileBytes(folder + "/2147483647", "x");
    EXPECT_EQ(cache.TotalSize(), 19 + 14 + 1);
}

TEST(QimPCacheSize, SizesAbove4GiBAreClampedToTheLargestThatFits) {
    EXPECT_EQ(SQimPMemCacheFolder::StorableSize(0), 0u);
    EXPECT_EQ(SQimPMemCacheFolder::StorableSize(0xffffffffULL), 0xffffffffu);
    EXPECT_EQ(SQimPMemCacheFolder::StorableSize(0x100000000ULL), 0xffffffffu);
    EXPECT_EQ(SQimPMemCacheFolder::StorableSize(5ULL << 30), 0xffffffffu);
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "StoreTestSupport.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "store/SQimCacheFolder.h"
#include "support/TestSupport.h"

namespace {

using namespace qimstore;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::TempDir;
using qimtest::WriteFileBytes;
using storetest::Mail;
using storetest::WriteMail;

TEST(HeaderCache, RecordIsFourDecodedLinesInTextMode) {
    TempDir dir;
    // Folded, encoded Subject with a tab; two To fields (the first one counts,
    // as every reader shows it); an empty From is passed over for the later one.
    WriteMail(dir.Path(), 1,
              "to: first@example.jp\r\n"
              "From:\r\n"
              "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n"
              "\tword\r\n"
              "From: \t" + Sjis("山田") + " <y@example.jp>\r\n"
              "TO: second@example.jp\r\n"
              "Date: Fri, 31 Dec 1999 23:59:10 +0900\r\n"
              "\r\n"
              "Subject: not a header\r\n");
    WriteMail(dir.Path(), 3, "Subject: only\r\n\r\n");
    WriteFileBytes(dir.File("x1"), "not a mail");
    SQimCacheFolder folder(dir.Path());
    EXPECT_EQ(ReadFileBytes(dir.File("HCACHE.TXT")),
              "1 first@example.jp\r\n" + Sjis("山田") + " <y@example.jp>\r\n" + Sjis("日本語") +
                  " word\r\n99.12.31 23:59\r\n"
                  "3 \r\n\r\nonly\r\n00.00.00 00:00\r\n");
}

TEST(HeaderCache, LastCachedNumberReadsTheTail) {
    const std::string longLine(500, 'x');
    struct Case {
        const char* what;
        std::string content;
        int expected;
    } cases[] = {
        {"empty file", "", 0},
        {"one record", "7 a\r\nb\r\nc\r\n99.01.01 00:00\r\n", 7},
        {"last record without its fourth line", "7 a\r\nb\r\nc\r\n99.01.01 00:00\r\n8 a\r\nb\r\nc\r\n", 7},
        {"cut inside a line", "7 a\r\nb\r\nc\r\n99.01.01 00:00\r\n8 a\r\nb\r\nc\r\n99.0", 7},
        {"records longer than the first window",
         "3 " + longLine + "\r\n" + longLine + "\r\n" + longLine + "\r\n99.01.01 00:00\r\n" + "12 " + longLine +
             "\r\n" + longLine + "\r\n" + longLine + "\r\n99.01.01 00:00\r\n",
         12},
        {"To empty", "41 \r\n\r\n\r\n00.00.00 00:00\r\n", 41},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("HCACHE.TXT"), c.content);
        SQimCacheFolder folder(dir.Path());
        EXPECT_EQ(folder.LastCachedNumber(), c.expected) << c.what;
    }
    TempDir dir;
    SQimCacheFolder folder(dir.Path());
    std::remove(dir.File("HCACHE.TXT").c_str());
    EXPECT_EQ(folder.LastCachedNumber(), -1);
}

TEST(HeaderCache, UpdateAppendsUntilTheFirstMissingNumber) {
    TempDir dir;
    storetest::WriteMails(dir.Path(), {1, 2});
    SQimCacheFolder folder(dir.Path());
    storetest::WriteMails(dir.Path(), {3, 4, 6});
    const std::string before = ReadFileBytes(dir.File("HCACHE.TXT"));
    ASSERT_TRUE(folder.UpdateCache());
    const std::string after = ReadFileBytes(dir.File("HCACHE.TXT"));
    EXPECT_EQ(after.substr(0, before.size()), before);  // appended, not rewritten
    SMemCacheFolder memory(dir.Path());
    ASSERT_EQ(memory.Count(), 4);  // 6 lies above the gap: only a rebuild finds it
    EXPECT_EQ(memory.Record(3).number, 4);
    ASSERT_TRUE(memory.RebuildCache());
    EXPECT_EQ(memory.Count(), 5);

    // An empty cache counts as "0": the update starts from mail 1.
    WriteFileBytes(dir.File("HCACHE.TXT"), "");
    ASSERT_TRUE(folder.UpdateCache());
    ASSERT_TRUE(memory.Load());
    EXPECT_EQ(memory.Count(), 4);
}

TEST(HeaderCache, UpdateAfterTheHighestMailsWereDeletedOutsideFindsNewMail) {
    TempDir dir;
    storetest::WriteMails(dir.Path(), {1, 2, 3, 4});
    SQimCacheFolder folder(dir.Path());
    std::remove(dir.File("3").c_str());
    std::remove(dir.File("4").c_str());
    storetest::WriteMails(dir.Path(), {3});  // the next receive takes number 3 again
    ASSERT_TRUE(folder.UpdateCache());
    storetest::ExpectCacheAgrees(dir.Path());
}

TEST(HeaderCache, CutCacheIsRebuiltInsteadOfAppendedTo) {
    // Appending after half a record would shift every later record by lines.
    TempDir dir;
    storetest::WriteMails(dir.Path(), {1, 2});
    SQimCacheFolder folder(dir.Path());
    std::string content = ReadFileBytes(dir.File("HCACHE.TXT"));
    WriteFileBytes(dir.File("HCACHE.TXT"), content.substr(0, content.size() - 9));
    storetest::WriteMails(dir.Path(), {3});
    ASSERT_TRUE(folder.UpdateCache());
    storetest::ExpectCacheAgrees(dir.Path());

    WriteFileBytes(dir.File("HCACHE.TXT"), content.substr(0, content.size() - 9));
    storetest::WriteMails(dir.Path(), {4});
    ASSERT_TRUE(folder.AppendRecord(4));
    storetest::ExpectCacheAgrees(dir.Path());

    WriteFileBytes(dir.File("HCACHE.TXT"), content.substr(0, content.size() - 3));
    TempDir other;
    storetest::WriteMails(other.Path(), {1});
    ASSERT_TRUE(folder.BeginBatch());
    ASSERT_TRUE(folder.BatchMove(other.File("1").c_str()));
    ASSERT_TRUE(folder.EndBatch());
    storetest::ExpectCacheAgrees(dir.Path());
}

TEST(HeaderCache, LoadStopsAtTheFirstIncompleteRecord) {
    TempDir dir;
    SMemCacheFolder memory(dir.Path());
    WriteFileBytes(dir.File("HCACHE.TXT"),
                   "5 to one\r\nfrom\r\nsubj\r\n98.01.02 03:04\r\n"
                   "nonumber\nf\ns\n01.01.01 00:00\n"  // LF only, number text without a blank
                   "9 x\r\ny\r\n");
    ASSERT_TRUE(memory.Load());
    ASSERT_EQ(memory.Count(), 2);
    EXPECT_EQ(memory.Record(0).number, 5);
    EXPECT_EQ(memory.Record(0).header.to, "to one");
    EXPECT_EQ(memory.Record(0).header.date, "98.01.02 03:04");
    EXPECT_EQ(memory.Record(1).number, 0);
    EXPECT_EQ(memory.Record(1).header.to, "");
    SHeaderData d;
    EXPECT_TRUE(memory.Find(5, d));
    EXPECT_EQ(d.subject, "subj");
    EXPECT_FALSE(memory.Find(9, d));
}

TEST(HeaderCache, LoadReadsRecordsAcrossBlocks) {
    // Enough records to fill several read blocks, one field longer than a block.
    TempDir dir;
    std::string content;
    for (int n = 1; n <= 5000; ++n) {
        const std::string subject = n == 2500 ? std::string(600000, 'x') : storetest::Subject(n);
        content += std::to_string(n) + " to\r\nfrom\r\n" + subject + "\r\n99.01.01 00:00\r\n";
    }
    WriteFileBytes(dir.File("HCACHE.TXT"), content);
    SMemCacheFolder memory(dir.Path());
    ASSERT_EQ(memory.Count(), 5000);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(memory.Record(i).number, i + 1);
        ASSERT_EQ(memory.Record(i).header.subject.size(), i + 1 == 2500 ? 600000u : (storetest::Subject(i + 1)).size());
        ASSERT_EQ(memory.Record(i).header.date, "99.01.01 00:00");
    }
}

TEST(HeaderCache, StaleRecordsStayUntilRebuilt) {
    TempDir dir;
    storetest::WriteMails(dir.Path(), {1, 2, 3});
    SMemCacheFolder memory(dir.Path());
    std::remove(dir.File("2").c_str());
    memory.SetFolder(dir.Path());
    EXPECT_EQ(memory.Count(), 3);  // the cache is trusted as it is
    ASSERT_TRUE(memory.RebuildCache());
    EXPECT_EQ(memory.Count(), 2);
}

TEST(HeaderCache, WriteAllAndRemoveKeepArrayOrder) {
    TempDir dir;
    storetest::WriteMails(dir.Path(), {1, 2, 3});
    SMemCacheFolder memory(dir.Path());
    ASSERT_TRUE(memory.Remove(2));
    EXPECT_FALSE(memory.Remove(2));
    ASSERT_TRUE(memory.WriteAll());
    EXPECT_EQ(ReadFileBytes(dir.File("HCACHE.TXT")),
              "1 b@example.jp\r\na@example.jp\r\ns1\r\n26.12.10 13:15\r\n"
              "3 b@example.jp\r\na@example.jp\r\ns3\r\n26.12.10 13:15\r\n");
}

TEST(HeaderCache, BatchMoveKeepsMarksAndNumbersOn) {
    TempDir from, to;
    storetest::WriteMails(from.Path(), {1, 2});
    storetest::WriteMails(to.Path(), {20});
    chmod(from.File("1").c_str(), 0544);  // read and important
    SQimCacheFolder folder(to.Path());
    ASSERT_TRUE(folder.BeginBatch());
    ASSERT_TRUE(folder.BatchMove(from.File("1").c_str()));
    EXPECT_EQ(folder.BatchNumber(), 21);
    ASSERT_TRUE(folder.BatchCopy(from.File("2").c_str()));
    EXPECT_EQ(folder.BatchNumber(), 22);
    EXPECT_FALSE(folder.BatchMove(from.File("9").c_str()));
    ASSERT_TRUE(folder.EndBatch());
    EXPECT_EQ(folder.GetMarks(21), kMarkRead | kMarkImportant);
    EXPECT_TRUE(qimtest::FileExists(from.File("2")));
    EXPECT_FALSE(qimtest::FileExists(from.File("1")));
    storetest::ExpectCacheAgrees(to.Path());
}

}  // namespace

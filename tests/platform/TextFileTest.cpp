#include <gtest/gtest.h>

#include "platform/TextFile.h"
#include "support/TestSupport.h"

namespace {

TEST(TextFile, WritesCrLfAndReadsItBackAsLf) {
    qimtest::TempDir dir;
    std::string path = dir.File("t.txt");
    platform::TextFile out;
    ASSERT_TRUE(out.Open(path.c_str(), "w"));
    ASSERT_TRUE(out.Puts("one\ntwo\n\nthree"));
    ASSERT_TRUE(out.Putc('\n'));
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(qimtest::ReadFileBytes(path), "one\r\ntwo\r\n\r\nthree\r\n");

    platform::TextFile in;
    ASSERT_TRUE(in.Open(path.c_str(), "r"));
    std::string line;
    std::vector<std::string> lines;
    while (in.GetLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
}

TEST(TextFile, OffsetsAreFileBytesUsableForSeeking) {
    qimtest::TempDir dir;
    std::string path = dir.File("t.txt");
    qimtest::WriteFileBytes(path, "ab\r\ncd\r\nlone\rcr\r\n");
    platform::TextFile in;
    ASSERT_TRUE(in.Open(path.c_str(), "r"));
    char buf[16];
    ASSERT_NE(in.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "ab\n");
    EXPECT_EQ(in.Tell(), 4);
    long long second = in.Tell();
    ASSERT_NE(in.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "cd\n");
    ASSERT_NE(in.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "lone\rcr\n");  // a CR without LF is data
    EXPECT_EQ(in.Tell(), 17);
    EXPECT_EQ(in.Gets(buf, sizeof buf), nullptr);
    ASSERT_TRUE(in.Seek(second));
    ASSERT_NE(in.Gets(buf, 3), nullptr);  // size-1 characters at most
    EXPECT_STREQ(buf, "cd");
}

TEST(TextFile, WriteTurnsEveryLfIntoCrLfWhateverTheLineLengths) {
    qimtest::TempDir dir;
    std::string path = dir.File("t.txt");
    std::string text, expected;
    for (std::size_t length : {0u, 3u, 8190u, 8191u, 8192u, 20000u, 5u}) {
        text += std::string(length, 'x') + "\n";
        expected += std::string(length, 'x') + "\r\n";
    }
    text += "tail";
    expected += "tail";
    platform::TextFile out;
    ASSERT_TRUE(out.Open(path.c_str(), "w"));
    ASSERT_TRUE(out.Write(text.data(), text.size()));
    ASSERT_TRUE(out.Close());
    EXPECT_TRUE(qimtest::ReadFileBytes(path) == expected);
}

TEST(TextFile, ReadLineCountsNulBytesAndFoldsCrLfAcrossPieces) {
    qimtest::TempDir dir;
    std::string path = dir.File("t.txt");
    qimtest::WriteFileBytes(path, std::string("a\0b\r\nxyz\r\nlone\rcr", 17));
    platform::TextFile in;
    ASSERT_TRUE(in.Open(path.c_str(), "r"));
    char buf[16];
    ASSERT_EQ(in.ReadLine(buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf, 4), std::string("a\0b\n", 4));
    ASSERT_EQ(in.ReadLine(buf, 4), 3);  // size-1 characters: the CR LF waits for the next piece
    EXPECT_STREQ(buf, "xyz");
    ASSERT_EQ(in.ReadLine(buf, 4), 1);
    EXPECT_STREQ(buf, "\n");
    EXPECT_EQ(in.Tell(), 10);
    ASSERT_EQ(in.ReadLine(buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "lone\rcr");  // last line without LF
    EXPECT_EQ(in.ReadLine(buf, sizeof buf), 0);
}

TEST(TextFile, JapaneseNamesLandAsUtf8OnDisk) {
    qimtest::TempDir dir;
    std::string sjisPath = dir.Path() + "/\x8E\x64\x8E\x96.txt";  // 仕事.txt
    platform::TextFile out;
    ASSERT_TRUE(out.Open(sjisPath.c_str(), "w"));
    out.Close();
    EXPECT_TRUE(qimtest::FileExists(dir.Path() + "/\xE4\xBB\x95\xE4\xBA\x8B.txt"));
    EXPECT_EQ(platform::OpenFile((dir.Path() + "/\x80.txt").c_str(), "w"), nullptr);  // no such character
}

}  // namespace

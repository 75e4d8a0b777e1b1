#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/TextTools.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

namespace {

// Every line of `data` as FGetString returns it with the given sizes.
std::vector<std::pair<int, std::string>> ReadAll(const std::string& data, int size, int maxLength) {
    FILE* fp = fmemopen(const_cast<char*>(data.data()), data.size(), "rb");
    std::vector<std::pair<int, std::string>> lines;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    for (int guard = 0; guard < 100; ++guard) {
        std::string out = "stale";
        int n = FGetString(fp, buffer.data(), size, out, maxLength);
        lines.emplace_back(n, out);
        if (n <= 0) break;
    }
    std::fclose(fp);
    return lines;
}

using Lines = std::vector<std::pair<int, std::string>>;

TEST(FGetString, ReadsLinesOfAnyLengthKeepingAtMostTheMaximum) {
    struct Case {
        std::string data;
        int size;
        int maxLength;
        Lines lines;
    } cases[] = {
        {"ab\ncd\n", 16, 100, {{3, "ab\n"}, {3, "cd\n"}, {0, ""}}},
        // Pieces smaller than the line: still one line.
        {"abcdefghij\nk\n", 4, 100, {{11, "abcdefghij\n"}, {2, "k\n"}, {0, ""}}},
        // Longer than the maximum: the rest of the line is dropped, not returned as the next line.
        {"abcdefghij\nk\n", 4, 5, {{5, "abcde"}, {2, "k\n"}, {0, ""}}},
        {"last line without end", 8, 100, {{21, "last line without end"}, {0, ""}}},
        {"\n\n", 2, 100, {{1, "\n"}, {1, "\n"}, {0, ""}}},
        {std::string("a\0b\n", 4), 16, 100, {{4, std::string("a\0b\n", 4)}, {0, ""}}},
        {"", 16, 100, {{0, ""}}},
        {"abc\n", 16, 0, {{0, ""}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(c.data, c.size, c.maxLength), c.lines) << c.data;
}

TEST(FGetString, RefusesWhatCannotWork) {
    std::string data = "abc\n", out = "stale";
    FILE* fp = fmemopen(data.data(), data.size(), "rb");
    char buffer[1];
    EXPECT_EQ(FGetString(fp, buffer, 1, out, 10), -1) << "a 1-byte buffer holds no character";
    EXPECT_EQ(FGetString(nullptr, buffer, 1, out, 10), -1);
    EXPECT_EQ(FGetString(fp, out, 10, 0), -1);
    EXPECT_EQ(FGetString(fp, out, 10, 1), 4);
    EXPECT_EQ(out, "abc\n");
    std::fclose(fp);
}

TEST(FGetString, ReadsAHeaderCacheLineOfAMegabyte) {
    std::string data(1 << 20, 'x');
    data += "\nnext\n";
    FILE* fp = fmemopen(data.data(), data.size(), "rb");
    std::string out;
    EXPECT_EQ(FGetString(fp, out, 8192, 1024), 8192);
    EXPECT_EQ(FGetString(fp, out, 8192, 1024), 5);
    EXPECT_EQ(out, "next\n");
    std::fclose(fp);
}

TEST(FGetString, OnATextFileReadsCrLfAsLf) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("HCACHE.TXT"), "1 to\r\nfrom\r\n");
    platform::TextFile file;
    ASSERT_TRUE(file.Open(dir.File("HCACHE.TXT").c_str(), "r"));
    std::string out;
    char buffer[4];
    EXPECT_EQ(FGetString(file, buffer, sizeof buffer, out, 100), 5);
    EXPECT_EQ(out, "1 to\n");
    EXPECT_EQ(FGetString(file, out, 100, 8192), 5);
    EXPECT_EQ(out, "from\n");
    EXPECT_EQ(FGetString(file, out, 100, 8192), 0);
}

TEST(MemStrCpy, CopiesWithItsNulThenFills) {
    struct Case {
        const char* src;
        int count;
        char fill;
        std::string expected;  // the `count` bytes written
    } cases[] = {
        {"abc", 6, '*', std::string("abc\0**", 6)},
        {"abcdef", 3, '*', "abc"},
        {"abc", 3, '*', "abc"},
        {"", 3, 'x', std::string("\0xx", 3)},
        // A typed key becomes its first 8 bytes, padded with zero bytes.
        {"secret", 8, '\0', std::string("secret\0\0", 8)},
        {"0123456789", 8, '\0', "01234567"},
        {nullptr, 2, '#', "##"},
        {"abc", 0, '*', ""},
    };
    for (const Case& c : cases) {
        char dest[16];
        std::memset(dest, '~', sizeof dest);
        EXPECT_EQ(MemStrCpy(dest, c.src, c.count, c.fill), dest);
        EXPECT_EQ(std::string(dest, static_cast<std::size_t>(c.count)), c.expected);
        EXPECT_EQ(dest[c.count], '~') << "nothing written past count";
    }
}

TEST(IsIntStr, AcceptsBlanksASignAndDigits) {
    struct Case {
        const char* s;
        bool result;
    } cases[] = {
        {"123", true}, {" \t12", true}, {"-3", true}, {"+7", true}, {"007", true},
        {"", true}, {"+", true}, {"  ", true},  // an empty run of digits is accepted
        {"12a", false}, {"1 2", false}, {"12 ", false}, {"--1", false}, {"HCACHE.TXT", false},
        {"\x82\x4F", false}, {nullptr, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsIntStr(c.s), c.result) << (c.s ? c.s : "(null)");
}

}  // namespace

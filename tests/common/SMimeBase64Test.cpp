#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/SMimeBase64.h"

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::string Encode(const std::string& bytes) {
    std::string out(static_cast<std::size_t>(SMimeBase64::EncodedLength(static_cast<int>(bytes.size()))) + 1, '\x7F');
    int n = SMimeBase64::EncodeBinary(U(bytes), out.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(out[static_cast<std::size_t>(n)], '\0');
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string EncodeLines(const std::string& bytes) {
    int length = static_cast<int>(bytes.size());
    std::string out(static_cast<std::size_t>(SMimeBase64::EncodedLinesLength(length)) + 1, '\x7F');
    int n = SMimeBase64::EncodeToLines(U(bytes), out.data(), length);
    EXPECT_EQ(n, SMimeBase64::EncodedLinesLength(length)) << "the size helper must predict the length";
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// The count DecodeBinary returns, and the bytes it wrote (all of them, also on failure).
struct Decoded {
    int count;
    std::string bytes;
};

Decoded Decode(const std::string& text, bool ignoreLineEnds = false) {
    std::string dest(text.size(), '\0');
    unsigned char* d = reinterpret_cast<unsigned char*>(dest.data());
    int n = SMimeBase64::DecodeBinary(text.c_str(), d, ignoreLineEnds);
    return {n, n >= 0 ? dest.substr(0, static_cast<std::size_t>(n)) : dest};
}

TEST(Base64Encode, PadsTheLastGroup) {
    struct Case {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {std::string(1, '\0'), "AA=="},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foobar", "Zm9vYmFy"},
        {"\xFF\xFE\xFD", "//79"},
        {"\xFB\xEF\xBE", "++++"},
    };
    for (const Case& c : cases) EXPECT_EQ(Encode(c.bytes), c.text) << c.text;

    SMimeBase64 codec;
    unsigned char dest[16];
    ASSERT_EQ(codec.Encode(U(std::string("foo")), dest), dest);
    EXPECT_STREQ(reinterpret_cast<char*>(dest), "Zm9v");
    EXPECT_EQ(SMimeBase64::EncodeBinary(U(std::string("x")), reinterpret_cast<char*>(dest), -1), -1);
}

TEST(Base64Encode, LinesHold72CharactersAndEndWithLf) {
    std::string line54(54, 'x'), line55(55, 'x');
    EXPECT_EQ(EncodeLines(line54), Encode(line54) + "\n");
    EXPECT_EQ(EncodeLines(line54).size(), 73u);
    EXPECT_EQ(EncodeLines(line55), Encode(line54) + "\n" + Encode("x") + "\n");
    EXPECT_EQ(EncodeLines(std::string(108, 'y')), Encode(std::string(54, 'y')) + "\n" + Encode(std::string(54, 'y')) + "\n");
    EXPECT_EQ(EncodeLines(""), "");
}

TEST(Base64Decode, AcceptsWholeGroupsWithPaddingOnlyAtTheEnd) {
    struct Case {
        std::string text;
        int count;  // -1: rejected
        std::string bytes;
    } cases[] = {
        {"QUJD", 3, "ABC"},
        {"QUI=", 2, "AB"},
        {"QQ==", 1, "A"},
        {"", 0, ""},
        {"QUJDQUJD", 6, "ABCABC"},
        {"QUJDRE", -1, "ABC"},     // text ends inside a group; the whole group before it is still written
        {"QUJ", -1, ""},
        {"QQ==QUJD", -1, "AABC"},  // padding that does not end the text
        {"QU=D", -1, "A"},         // "=" inside a group
        {"QUJ D", -1, ""},         // a space takes a place in the group
        {"QU*DQUJD", -1, "ABC"},   // a character outside the alphabet: that group is skipped
        {"QUJD\r\n", -1, "ABC"},   // line ends are bad unless they are to be ignored
        {"A===", -1, ""},          // six bits are no byte
        {"====", -1, ""},
    };
    for (const Case& c : cases) {
        Decoded d = Decode(c.text);
        EXPECT_EQ(d.count, c.count) << c.text;
        // On failure the decodable groups are still written, one after the other.
        EXPECT_EQ(d.count >= 0 ? d.bytes : d.bytes.substr(0, c.bytes.size()), c.bytes) << c.text;
    }

    SMimeBase64 codec;
    unsigned char dest[16];
    ASSERT_EQ(codec.Decode(U(std::string("QUI=")), dest), dest);
    EXPECT_STREQ(reinterpret_cast<char*>(dest), "AB");
    EXPECT_EQ(codec.Decode(U(std::string("QUJDRE")), dest), nullptr);
}

TEST(Base64Decode, IgnoringLineEndsReadsWholeEncodedLines) {
    EXPECT_EQ(Decode("QUJD\r\nQUJD\r\n", true).bytes, "ABCABC");
    EXPECT_EQ(Decode("QUJD\nQQ==\n", true).count, 4) << "padding followed only by line ends ends the text";
    EXPECT_EQ(Decode("QU\r\nJD", true).bytes, "ABC");
    EXPECT_EQ(Decode("QUJD\n\tQUJD", true).count, -1);
}

TEST(Base64RoundTrip, EveryLengthAndByteComesBack) {
    std::mt19937 random(5);
    for (int length = 0; length < 300; ++length) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        Decoded once = Decode(Encode(bytes));
        ASSERT_EQ(once.count, length);
        ASSERT_EQ(once.bytes, bytes);
        Decoded lines = Decode(EncodeLines(bytes), true);
        ASSERT_EQ(lines.bytes, bytes) << length;
    }
}

}  // namespace

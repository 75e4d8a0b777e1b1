#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "common/SMimeQuotedPrintable.h"

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.c_str()); }

std::string DecodeText(const std::string& text) {
    SMimeQuotedPrintable codec;
    std::string dest(text.size() + 1, '\x7F');
    unsigned char* d = reinterpret_cast<unsigned char*>(dest.data());
    int n = codec.DecodeBinary(U(text), d);
    EXPECT_EQ(codec.Decode(U(text), d), d);
    EXPECT_EQ(dest[static_cast<std::size_t>(n)], '\0') << "Decode ends the result with NUL";
    return dest.substr(0, static_cast<std::size_t>(n));
}

std::string EncodeText(const std::string& text) {
    SMimeQuotedPrintable codec;
    std::string dest(SMimeQuotedPrintable::EncodedLengthMax(text.size()) + 1, '\x7F');
    EXPECT_NE(codec.Encode(U(text), reinterpret_cast<unsigned char*>(dest.data())), nullptr);
    dest.resize(dest.find('\0'));
    return dest;
}

TEST(QuotedPrintableDecode, EscapesGiveBytesAndAShortEscapeEndsTheText) {
    struct Case {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"=41", "A"},
        {"a=4ab=4Ac", "aJbJc"},       // either case
        {"=G1=1Z", "\x01\x10"},       // a character that is no hex digit counts as 0
        {"=82=A0 tail", "\x82\xA0 tail"},
        {"abc=4", "abc"},             // "=" and one character: the rest is dropped
        {"abc=", "abc"},              // the soft break of a line
        {"abc=\r\nnext", std::string("abc\0next", 8)},  // an escape takes any two characters
        {"no escapes_here", "no escapes_here"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeText(c.text), c.bytes) << c.text;
}

TEST(QuotedPrintableEncode, EscapesWhatMailCannotCarryAndKeepsLinesShort) {
    struct Case {
        std::string text;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a=b", "a=3Db"},
        {"tail \nnext", "tail=20\nnext"},  // white space before a line end
        {"tab\t", "tab=09"},               // and at the end of the text
        {"\x82\xA0\r\n", "=82=A0=0D\n"},
        {"\x7F~!", "=7F~!"},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeText(c.text), c.encoded) << c.text;

    std::string longLine(200, 'x');
    std::string encoded = EncodeText(longLine + "\n" + std::string(30, '\xE9'));
    std::istringstream lines(encoded);
    std::string line, joined;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), static_cast<std::size_t>(SMimeQuotedPrintable::kMaxLineLength)) << line;
        joined += line.back() == '=' ? DecodeText(line) : DecodeText(line) + "\n";
    }
    EXPECT_EQ(joined, longLine + "\n" + std::string(30, '\xE9') + "\n");
}

TEST(QuotedPrintableEncode, DecodingLineByLineGivesTheTextBack) {
    std::mt19937 random(3);
    const std::string alphabet = std::string("ab =\t\n\x82\xA0\r", 9);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = random() % 400; i > 0; --i) text += alphabet[random() % alphabet.size()];
        std::string encoded = EncodeText(text), decoded, line;
        std::istringstream lines(encoded);
        while (std::getline(lines, line)) {
            bool soft = !line.empty() && line.back() == '=';
            decoded += DecodeText(line);
            if (!soft && !lines.eof()) decoded += "\n";  // a last line without LF has no break
        }
        ASSERT_EQ(decoded, text) << encoded;
    }
}

}  // namespace

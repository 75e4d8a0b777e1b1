#include <gtest/gtest.h>

#include "common/JapaneseCodes.h"
#include "support/TestSupport.h"

namespace {

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }

TEST(QimtoolCodes, RoundTripsAJapaneseFileByteForByte) {
    qimtest::TempDir dir;
    // Kanji, kana, symbols, a CP932 extension and a NUL byte, with CR LF lines.
    std::string sjis = "Subject: \x93\xFA\x96\x7B\x8C\xEA\r\n\r\n\x82\xA0\x82\xA2 ABC \x81\x79\x95\x5C\x81\x7A\r\n";
    sjis += std::string("\0tail\r\n", 7);
    qimtest::WriteFileBytes(dir.File("in.txt"), sjis);
    int status = -1;
    qimtest::RunCommand(Tool() + " sjis2jis " + dir.File("in.txt") + " " + dir.File("jis.txt"), &status);
    ASSERT_EQ(status, 0);
    std::string jis = qimtest::ReadFileBytes(dir.File("jis.txt"));
    for (unsigned char c : jis) ASSERT_LT(c, 0x80) << "JIS output is 7-bit";
    qimtest::RunCommand(Tool() + " jis2sjis < " + dir.File("jis.txt") + " > " + dir.File("back.txt"), &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("back.txt")), sjis);
}

TEST(QimtoolCodes, Utf8OptionConvertsAtTheEdges) {
    int status = -1;
    // ｶﾞｷﾞ in UTF-8 -> ガギ in UTF-8.
    std::string out =
        qimtest::RunCommand("printf '\\357\\275\\266\\357\\276\\236\\357\\275\\267\\357\\276\\236' | " + Tool() +
                                " han2zen --utf8",
                            &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "\xE3\x82\xAC\xE3\x82\xAE");
    out = qimtest::RunCommand("printf '\\343\\201\\202' | " + Tool() + " sjis2jis --utf8", &status);
    EXPECT_EQ(out, "\x1B$B$\"\x1B(B");
}

TEST(QimtoolCodes, ReportsBadUsageWithStatusTwo) {
    struct Case {
        std::string args;
        int status;
    } cases[] = {
        {"", 2},
        {"nosuch", 2},
        {"sjis2jis --bogus", 2},
        {"sjis2jis a b c", 2},
        {"sjis2jis /nonexistent/in", 1},
        {"--help", 0},
        {"--version", 0},
    };
    for (const Case& c : cases) {
        int status = -1;
        qimtest::RunCommand(Tool() + " " + c.args + " </dev/null 2>/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.args;
    }
}

}  // namespace

namespace {

// Large input is converted in blocks; the result must equal converting the
// whole text at once, also when a kanji section runs across line ends.
TEST(QimtoolCodes, BlockwiseConversionEqualsWholeText) {
    qimtest::TempDir dir;
    std::string jis = "\x1B$B";
    for (int line = 0; line < 60000; ++line) jis += "$\"$$$&$($*F|K\\8l\r\n";  // kanji state never closed
    jis += "\x1B(Bend\r\n";
    qimtest::WriteFileBytes(dir.File("in.jis"), jis);
    std::string expected(jis.size() + 1, '\0');
    expected.resize(static_cast<std::size_t>(
        Jis2Sjis(expected.data(), reinterpret_cast<const unsigned char*>(jis.c_str()))));
    int status = -1;
    std::string out = qimtest::RunCommand(qimtest::BuiltProgram("qimtool") + " jis2sjis " + dir.File("in.jis"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(jis.size(), 1u << 20);
    EXPECT_TRUE(out == expected) << "sizes " << out.size() << " vs " << expected.size();
}

// The mode at the end of one block starts the next, whichever it is; a NUL
// ends the text before it, so what follows starts in ASCII.
TEST(QimtoolCodes, BlocksHandOnTheirModeAndNulRestartsIt) {
    std::string katakana = "\x1B(I";
    for (int line = 0; line < 400000; ++line) katakana += "\x31\x32\r\n";
    katakana += "\x1B(Bend\r\n";
    std::string katakanaSjis;
    for (int line = 0; line < 400000; ++line) katakanaSjis += "\xB1\xB2\r\n";
    katakanaSjis += "end\r\n";
    struct Case {
        const char* name;
        std::string jis;
        std::string sjis;
    } cases[] = {
        {"katakana across blocks", katakana, katakanaSjis},
        {"NUL in a kanji section", std::string("\x1B$B$\"\r\n\0$\"\r\n", 12), std::string("\x82\xA0\r\n\0$\"\r\n", 9)},
    };
    for (const Case& c : cases) {
        qimtest::TempDir dir;
        qimtest::WriteFileBytes(dir.File("in.jis"), c.jis);
        int status = -1;
        qimtest::RunCommand(Tool() + " jis2sjis " + dir.File("in.jis") + " " + dir.File("out.sjis"), &status);
        EXPECT_EQ(status, 0) << c.name;
        const std::string out = qimtest::ReadFileBytes(dir.File("out.sjis"));
        EXPECT_TRUE(out == c.sjis) << c.name << ": sizes " << out.size() << " vs " << c.sjis.size();
    }
}

}  // namespace

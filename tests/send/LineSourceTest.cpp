#include <gtest/gtest.h>

#include "send/SGetLine.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::Sjis;

std::vector<std::string> AllLines(SGetLine& source) {
    std::vector<std::string> lines;
    EXPECT_TRUE(source.Open());
    for (std::string line; source.NextLine(line);) lines.push_back(line);
    source.Close();
    return lines;
}

class LineSource : public ::testing::Test {
protected:
    std::string File(const std::string& bytes) {
        std::string name = "m";
        name += std::to_string(++count_);
        const std::string path = dir_.File(name);
        qimtest::WriteFileBytes(path, bytes);
        return path;
    }
    qimtest::TempDir dir_;
    int count_ = 0;
};

TEST_F(LineSource, LongLinesComeInPiecesThatSplitNeitherACharacterNorALineEnd) {
    const std::string kanji = Sjis("漢");
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"line ends made CR LF", "a\nb\r\nc", {"a\r\n", "b\r\n", "c\r\n"}},
        {"a piece of 1023 bytes", std::string(1500, 'x') + "\r\n",
         {std::string(1023, 'x') + "\r\n", std::string(477, 'x') + "\r\n"}},
        {"CR LF right at the cut stays one line end", std::string(1022, 'x') + "\r\n" + "y\r\n",
         {std::string(1022, 'x') + "\r\n", "y\r\n"}},
        {"a double-byte character at the cut goes whole to the next piece",
         std::string(1022, 'x') + kanji + "z\r\n", {std::string(1022, 'x') + "\r\n", kanji + "z\r\n"}},
    };
    for (const auto& c : cases) {
        SGetLineFile source(File(c.bytes));
        EXPECT_EQ(AllLines(source), c.lines) << c.name;
    }
}

TEST_F(LineSource, TheBodyAloneAndTheMessageWithoutItsBccLines) {
    const std::string message =
        "From: a@x\r\nBcc: one@x,\r\n\ttwo@x\r\nTo: b@y\r\nbcc: three@x\r\n\r\nBcc: in the body stays\r\n.\r\n";
    SGetLineFileOmitHeader body(File(message));
    EXPECT_EQ(AllLines(body), (std::vector<std::string>{"Bcc: in the body stays\r\n", ".\r\n"}));
    SGetLineFileWithoutBcc sent(File(message));
    EXPECT_EQ(AllLines(sent), (std::vector<std::string>{"From: a@x\r\n", "To: b@y\r\n", "\r\n",
                                                        "Bcc: in the body stays\r\n", ".\r\n"}));
    // A header line whose piece boundary falls before its CR LF is no empty line.
    const std::string longHeader = "X: " + std::string(1020, 'h') + "\r\n\r\nbody\r\n";
    SGetLineFileOmitHeader afterLong(File(longHeader));
    EXPECT_EQ(AllLines(afterLong), (std::vector<std::string>{"body\r\n"}));
    SGetLineFile missing(dir_.File("none"));
    EXPECT_FALSE(missing.Open());
}

}  // namespace

#include <gtest/gtest.h>

#include "common/JapaneseCodes.h"
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

// The lines of a file read a character at a time, as a stream gives them:
// the source reads large blocks, and must cut the same pieces wherever the
// blocks end.
std::vector<std::string> LinesReadByteByByte(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    auto get = [&]() -> int { return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : EOF; };
    for (;;) {
        std::string line;
        int c = 0;
        while (line.size() < 1023 && (c = get()) != EOF) {
            line += static_cast<char>(c);
            if (c == '\n') break;
        }
        if (line.empty()) break;
        if (line.back() != '\n' && c != EOF) {
            const int next = get();
            if (next == '\n' && line.back() == '\r') {
                line += '\n';
            } else {
                if (next != EOF) --at;
                std::size_t pos = 0;
                while (pos < line.size()) pos += IsKanji1(static_cast<unsigned char>(line[pos])) ? 2 : 1;
                if (pos > line.size()) {
                    line.pop_back();
                    --at;
                }
            }
        }
        const bool crlf = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0;
        if (!crlf) {
            if (line.back() == '\n') line.pop_back();
            line += "\r\n";
        }
        lines.push_back(line);
    }
    return lines;
}

TEST_F(LineSource, PiecesDoNotDependOnWhereReadsEnd) {
    // Lines of every length up to three pieces, with CR LF, bare LF and bare
    // CR ends, double-byte characters and NUL bytes, over several read blocks.
    std::string bytes;
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    while (bytes.size() < 400 * 1024) {
        const std::size_t length = next(5) == 0 ? 1000 + next(2200) : next(120);
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned kind = next(10);
            if (kind < 3) bytes += "\x8A\xBF";   // 漢
            else if (kind == 3) bytes += '\r';
            else if (kind == 4 && next(20) == 0) bytes += '\0';
            else bytes += static_cast<char>('a' + next(26));
        }
        bytes += next(3) == 0 ? "\n" : "\r\n";
    }
    bytes += std::string(1022, 'e') + "\x8A";  // the end: a lead byte at the cut
    SGetLineFile source(File(bytes));
    const std::vector<std::string> lines = AllLines(source);
    const std::vector<std::string> expected = LinesReadByteByByte(bytes);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], expected[i]) << "line " << i;
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

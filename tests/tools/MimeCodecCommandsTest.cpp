#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/TestSupport.h"

namespace {

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }

std::string RandomBytes(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs qimtool with `input` on stdin.
Result RunTool(const std::string& args, const std::string& input) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("in"), input);
    Result r{-1, "", ""};
    r.out = qimtest::RunCommand(Tool() + " " + args + " < " + dir.File("in") + " 2> " + dir.File("err"), &r.status);
    r.err = qimtest::ReadFileBytes(dir.File("err"));
    return r;
}

TEST(QimtoolMime, RoundTripsBinaryFilesThroughFilesAndPipes) {
    qimtest::TempDir dir;
    const std::string bytes = RandomBytes(300000, 9) + std::string("\0\r\n\n\r =", 7);
    qimtest::WriteFileBytes(dir.File("raw"), bytes);
    for (std::string codec : {"base64", "qp"}) {
        int status = -1;
        qimtest::RunCommand(Tool() + " " + codec + " encode " + dir.File("raw") + " " + dir.File("enc"), &status);
        ASSERT_EQ(status, 0) << codec;
        std::string encoded = qimtest::ReadFileBytes(dir.File("enc"));
        EXPECT_EQ(encoded.substr(encoded.size() - 2), "\r\n") << codec << ": lines end CR LF as in a mail file";
        std::string back = qimtest::RunCommand("cat " + dir.File("enc") + " | " + Tool() + " " + codec + " decode", &status);
        EXPECT_EQ(status, 0) << codec;
        EXPECT_TRUE(back == bytes) << codec;
        std::string piped = qimtest::RunCommand("cat " + dir.File("raw") + " | " + Tool() + " " + codec + " encode -", &status);
        EXPECT_TRUE(piped == encoded) << codec << ": stdin encodes as a file does";
    }
}

TEST(QimtoolMime, BadInputGivesAnErrorAndNeverACrash) {
    struct Case {
        const char* what;
        std::string args;
        std::string input;
        int status;
        std::string out;
    } cases[] = {
        {"truncated base64", "base64 decode", "QUJD\r\nQUJ", 1, "ABC"},
        {"garbage characters", "base64 decode", "QUJD\r\n\x01\xFF#!\r\nREVG\r\n", 1, "ABCDEF"},
        {"empty base64", "base64 decode", "", 0, ""},
        {"a whole body on one line", "base64 decode", std::string(400000, 'A'), 0, std::string(300000, '\0')},
        {"a long garbage line", "base64 decode", std::string(100000, '%'), 1, ""},
        {"= at the end of a line", "qp decode", "ab=\r\ncd=\ne\r\n", 0, "abcde\r\n"},
        {"= at the end of the file", "qp decode", "ab=", 0, "ab"},
        {"= and one character at the end", "qp decode", "ab=4", 0, "ab"},
        // 33 333 escapes "===" and a last "=", a soft break.
        {"a long quoted-printable line", "qp decode", std::string(100000, '=') + "\r\n", 0, std::string(33333, '\0')},
        {"empty quoted-printable", "qp decode", "", 0, ""},
        {"empty input to encode", "base64 encode", "", 0, ""},
    };
    for (const Case& c : cases) {
        Result r = RunTool(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        EXPECT_TRUE(r.out == c.out) << c.what << ": " << r.out.size() << " bytes";
        EXPECT_EQ(r.err.empty(), c.status == 0) << c.what << ": errors are reported on stderr";
    }
}

TEST(QimtoolMime, ReportsUsageAndMissingFiles) {
    struct Case {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"base64", 2, "encode か decode"},
        {"base64 sideways", 2, "encode か decode"},
        {"qp decode a b c", 2, "引数が多すぎます"},
        {"base64 --wrap decode", 2, "不明なオプション"},
        {"base64 decode /nonexistent/in", 1, "入力ファイルを開けません: /nonexistent/in"},
        {"qp encode /tmp", 1, "入力ファイルを開けません"},
        {"base64 decode - /nonexistent/dir/out", 1, "出力ファイルを作れません"},
    };
    for (const Case& c : cases) {
        Result r = RunTool(c.args, "QUJD\r\n");
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
}

TEST(QimtoolMime, NamedOutputIsNotLeftHalfWritten) {
    qimtest::TempDir dir;
    const std::string in = dir.File("in"), out = dir.File("out");
    const std::string bytes = RandomBytes(200000, 10);
    qimtest::WriteFileBytes(dir.File("raw"), bytes);
    int status = -1;
    qimtest::RunCommand(Tool() + " base64 encode " + dir.File("raw") + " " + in, &status);
    ASSERT_EQ(status, 0);

    // The file size limit makes writes fail as on a full disk.
    qimtest::RunCommand("bash -c \"trap '' XFSZ; ulimit -f 16; " + Tool() + " base64 decode " + in + " " + out +
                            "\" 2>/dev/null",
                        &status);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(qimtest::FileExists(out));

    qimtest::RunCommand(Tool() + " base64 encode " + dir.File("raw") + " /dev/full 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(qimtest::FileExists("/dev/full"));

    const std::string before = qimtest::ReadFileBytes(in);
    qimtest::RunCommand(Tool() + " base64 decode " + in + " " + in + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(qimtest::ReadFileBytes(in) == before) << "the input is not overwritten by its own output";

    // Undecodable lines: what could be decoded is kept, and the status says it was not all.
    qimtest::WriteFileBytes(in, "QUJD\r\n*bad*\r\nREVG\r\n");
    qimtest::RunCommand(Tool() + " base64 decode " + in + " " + out + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(qimtest::ReadFileBytes(out), "ABCDEF");
}

}  // namespace

// The file operations of the body codecs: whole files, byte ranges of a
// message, error codes, and what is left on disk when something fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "common/SMimeBase64.h"
#include "common/SMimeNoEncoded.h"
#include "common/SMimeQuotedPrintable.h"
#include "support/TestSupport.h"

namespace {

struct Outcome {
    bool ok;
    int error;
    std::string out;
};

Outcome DecodeWith(SMime& codec, const std::string& input) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("in"), input);
    bool ok = codec.DecodeFile(dir.File("in").c_str(), dir.File("out").c_str(), false);
    return {ok, codec.ErrorCode(), qimtest::ReadFileBytes(dir.File("out"))};
}

Outcome DecodePartWith(SMime& codec, const std::string& message, long start, long end) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("mail"), message);
    FILE* fp = platform::OpenFile(dir.File("mail").c_str(), "r");
    EXPECT_NE(fp, nullptr);
    bool ok = codec.DecodeFilePart(fp, start, end, dir.File("out").c_str(), false);
    std::fclose(fp);
    return {ok, codec.ErrorCode(), qimtest::ReadFileBytes(dir.File("out"))};
}

Outcome EncodeWith(SMime& codec, const std::string& input) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("in"), input);
    bool ok = codec.EncodeFile(dir.File("in").c_str(), dir.File("out").c_str(), false);
    return {ok, codec.ErrorCode(), qimtest::ReadFileBytes(dir.File("out"))};
}

std::string RandomBytes(std::size_t length, unsigned seed, const std::string& alphabet = "") {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = alphabet.empty() ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
    return bytes;
}

TEST(Base64File, DecodesLinesWithEitherLineEnd) {
    SMimeBase64 codec;
    Outcome o = DecodeWith(codec, "QUJD\r\nREVG\nR0hJ\r\n\r\nSks=\r\n");
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.error, SMime::kMimeOk);
    EXPECT_EQ(o.out, "ABCDEFGHIJK");
}

TEST(Base64File, BadLinesAreLeftOutButDecodingGoesOn) {
    struct Case {
        const char* what;
        std::string input;
        std::string out;
        bool ok;
    } cases[] = {
        {"a line of six characters", "QUJD\r\nQUJDRE\r\nREVG\r\n", "ABCDEF", false},
        {"truncated at the end", "QUJD\r\nQUJ", "ABC", false},
        {"garbage characters", "QUJD\r\n#!%&\r\n\x82\xA0\x82\xA2\r\nREVG\r\n", "ABCDEF", false},
        {"a NUL inside a line", std::string("QUJD\r\nRE\0G\r\nREVG\r\n", 18), "ABCDEF", false},
        {"white space after a line", "QUJD \r\nREVG\r\n", "DEF", false},
        {"padding at the end of every line", "QQ==\r\nQUI=\r\n", "AAB", true},
        {"an empty file", "", "", true},
        {"blank lines only", "\r\n\n\r\n", "", true},
        {"a long garbage line", std::string(5000, '*') + "\r\nQUJD\r\n", "ABC", false},
        // Read in pieces of 1024: the first piece decodes, the rest holds the CR.
        {"a long line with a CR alone", std::string(2000, 'A') + "\rQUJD\r\n", std::string(768, '\0'), false},
    };
    for (const Case& c : cases) {
        SMimeBase64 codec;
        Outcome o = DecodeWith(codec, c.input);
        EXPECT_EQ(o.ok, c.ok) << c.what;
        EXPECT_EQ(o.error, c.ok ? SMime::kMimeOk : SMime::kMimeErrorData) << c.what;
        EXPECT_EQ(o.out, c.out) << c.what;
    }
}

TEST(Base64File, LinesLongerThanTheBufferDecodeWhole) {
    std::string bytes = RandomBytes(30000, 1);
    std::string text(static_cast<std::size_t>(SMimeBase64::EncodedLength(30000)) + 1, '\0');
    text.resize(static_cast<std::size_t>(SMimeBase64::EncodeBinary(
        reinterpret_cast<const unsigned char*>(bytes.data()), text.data(), 30000)));
    SMimeBase64 codec;
    Outcome o = DecodeWith(codec, text + "\r\n");
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(o.out == bytes);
}

TEST(Base64File, EncodesLinesOf72CharactersEndingCrLf) {
    SMimeBase64 codec;
    std::string bytes = RandomBytes(2000, 2);  // several reads of 540 bytes, and a short last line
    Outcome o = EncodeWith(codec, bytes);
    ASSERT_TRUE(o.ok);
    std::size_t lines = 0;
    for (std::size_t at = 0; at < o.out.size(); ++lines) {
        std::size_t end = o.out.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        if (end + 2 < o.out.size()) {
            EXPECT_EQ(end - at, 72u) << "line " << lines;
        }
        at = end + 2;
    }
    EXPECT_EQ(lines, 38u);  // 2000 bytes = 37 lines of 54 and one of 2
    Outcome back = DecodeWith(codec, o.out);
    EXPECT_TRUE(back.ok);
    EXPECT_TRUE(back.out == bytes);
    EXPECT_EQ(EncodeWith(codec, "").out, "");
}

// A pipe hands over a few bytes at a time; the lines must still be full.
TEST(Base64File, EncodesFullLinesFromAPipe) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string bytes = RandomBytes(1000, 3);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(fds[0]);
        for (std::size_t at = 0; at < bytes.size(); at += 10) {
            if (write(fds[1], bytes.data() + at, 10) != 10) _exit(1);
            usleep(300);
        }
        _exit(0);
    }
    close(fds[1]);
    qimtest::TempDir dir;
    FILE* out = platform::OpenFile(dir.File("out").c_str(), "w");
    SMimeBase64 codec;
    EXPECT_TRUE(codec.EncodeFileBody(fds[0], out));
    std::fclose(out);
    close(fds[0]);
    int status;
    waitpid(child, &status, 0);
    std::string text = qimtest::ReadFileBytes(dir.File("out"));
    EXPECT_EQ(text.find("="), text.size() - 4) << "padding only at the very end";
    EXPECT_EQ(text.find("\r\n"), 72u);
    EXPECT_TRUE(DecodeWith(codec, text).out == bytes);
}

TEST(QuotedPrintableFile, JoinsSoftBreaksAndEndsHardLinesWithCrLf) {
    struct Case {
        const char* what;
        std::string input;
        std::string out;
    } cases[] = {
        {"soft break", "abc=\r\ndef\r\n", "abcdef\r\n"},
        {"escapes", "=41=42\r\n", "AB\r\n"},
        {"an escape cut short ends that line", "ab=4\r\ncd\r\n", "ab\r\ncd\r\n"},
        {"= at the end of the file", "end=", "end"},
        {"= at the end of the last line", "end=\r\n", "end"},
        {"a last line without line end", "last line", "last line"},
        {"blank lines are lines of the text", "para\r\n\r\nnext\r\n\n", "para\r\n\r\nnext\r\n\r\n"},
        {"NUL bytes", std::string("a\0b=00\r\n", 8), std::string("a\0b\0\r\n", 6)},
        {"an empty file", "", ""},
        {"a lone =", "=", ""},
    };
    for (const Case& c : cases) {
        SMimeQuotedPrintable codec;
        Outcome o = DecodeWith(codec, c.input);
        EXPECT_TRUE(o.ok) << c.what;
        EXPECT_EQ(o.out, c.out) << c.what;
    }
}

// Lines longer than the 1024-byte read buffer arrive in pieces; an escape or a
// soft break cut by the piece boundary must decode as if the line were whole.
TEST(QuotedPrintableFile, LongLinesDecodeAsIfUncut) {
    for (int shift = 1018; shift <= 1026; ++shift) {
        std::string prefix(static_cast<std::size_t>(shift), 'x');
        SMimeQuotedPrintable codec;
        Outcome escape = DecodeWith(codec, prefix + "=41=42" + std::string(1500, 'y') + "=\r\nz\r\n");
        EXPECT_EQ(escape.out, prefix + "AB" + std::string(1500, 'y') + "z\r\n") << shift;
        Outcome soft = DecodeWith(codec, prefix + "=\r\nz\r\n");
        EXPECT_EQ(soft.out, prefix + "z\r\n") << shift;
    }
}

TEST(QuotedPrintableFile, EncodingGivesBackAnyBytesExactly) {
    std::vector<std::string> inputs = {
        "", "line\r\n", "no line end", "lone\nLF and lone\rCR\r\n", "trailing space \r\ntab\t\r\n",
        RandomBytes(200000, 4, std::string("ab =\t\r\n\x82\xA0\x00", 10)),
        RandomBytes(100000, 5),
    };
    // Line breaks, CRs and white space on the boundary of the 64 KB read blocks.
    for (int shift = -2; shift <= 1; ++shift) {
        inputs.push_back(std::string(static_cast<std::size_t>(65536 + shift), 'a') + " \r\n\r\r \t");
    }
    for (const std::string& input : inputs) {
        SMimeQuotedPrintable codec;
        Outcome encoded = EncodeWith(codec, input);
        ASSERT_TRUE(encoded.ok);
        for (std::size_t at = 0; at < encoded.out.size();) {
            std::size_t end = encoded.out.find("\r\n", at);
            ASSERT_NE(end, std::string::npos) << "every line ends CR LF";
            ASSERT_LE(end - at, 76u);
            for (std::size_t i = at; i < end; ++i) {
                unsigned char c = static_cast<unsigned char>(encoded.out[i]);
                ASSERT_TRUE(c == ' ' || c == '\t' || (c >= 33 && c <= 126)) << "byte " << int(c);
            }
            ASSERT_TRUE(end == at || (encoded.out[end - 1] != ' ' && encoded.out[end - 1] != '\t'));
            at = end + 2;
        }
        Outcome decoded = DecodeWith(codec, encoded.out);
        ASSERT_TRUE(decoded.out == input) << "input of " << input.size() << " bytes";
    }
}

TEST(NoEncodedFile, CopiesLinesEndingThemWithCrLf) {
    SMimeNoEncoded codec;
    std::string longLine(3000, 'L');
    Outcome o = DecodeWith(codec, std::string("a\nb\r\n\r\n\0nul\r\n", 13) + longLine + "\nlast");
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.out, std::string("a\r\nb\r\n\r\n\0nul\r\n", 14) + longLine + "\r\nlast");

    std::string block(65535, 'a');  // a CR LF across the 64 KB read blocks stays one line end
    Outcome e = EncodeWith(codec, "a\nb\r\nc\rd\r\n" + block + "\r\nz");
    EXPECT_TRUE(e.ok);
    EXPECT_TRUE(e.out == "a\r\nb\r\nc\rd\r\n" + block + "\r\nz");
}

// A message body between offsets, as the message analysis hands it over.
TEST(DecodeFilePart, StopsAfterTheLineThatReachesTheEnd) {
    const std::string header = "Content-Type: application/octet-stream\r\n\r\n";
    const std::string message = header + "QUJD\r\n\r\nREVG\r\nR0hJ\r\n--boundary--\r\n";
    const long body = static_cast<long>(header.size());
    struct Case {
        long end;
        std::string out;
        bool ok;
    } cases[] = {
        {body + 6, "ABC", true},         // the end just after the first line end
        {body + 9, "ABCDEF", true},      // inside the third line: that line is decoded whole
        {body + 20, "ABCDEFGHI", true},  // the CR LF before the delimiter
        {-1, "ABCDEFGHI", false},        // to the end of the file: the delimiter is no base64
        {body, "", true},                // an empty body: nothing is read
        {body - 2, "", true},
    };
    for (const Case& c : cases) {
        SMimeBase64 codec;
        Outcome o = DecodePartWith(codec, message, body, c.end);
        EXPECT_EQ(o.ok, c.ok) << c.end;
        EXPECT_EQ(o.out, c.out) << c.end;
    }
    // An empty part of an unencoded codec must not copy the delimiter after it.
    SMimeNoEncoded plain;
    const std::string empty = header + "--b\r\n";
    EXPECT_EQ(DecodePartWith(plain, empty, body, body - 2).out, "");
    SMimeQuotedPrintable qp;
    EXPECT_EQ(DecodePartWith(qp, header + "a=\r\nb\r\n\r\nc\r\n--b\r\n", body, body + 11).out, "ab\r\n\r\nc\r\n");
}

TEST(SMimeFile, TruncatesOrAppends) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("in"), "QUJD\r\n");
    qimtest::WriteFileBytes(dir.File("out"), "old contents");
    SMimeBase64 codec;
    ASSERT_TRUE(codec.DecodeFile(dir.File("in").c_str(), dir.File("out").c_str(), false));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("out")), "ABC");
    ASSERT_TRUE(codec.DecodeFile(dir.File("in").c_str(), dir.File("out").c_str(), true));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("out")), "ABCABC");
    EXPECT_EQ(qimtest::FileMode(dir.File("new")), 0u);
    ASSERT_TRUE(codec.DecodeFile(dir.File("in").c_str(), dir.File("new").c_str(), true));
    EXPECT_EQ(qimtest::FileMode(dir.File("new")) & 0600, 0600u);

    qimtest::WriteFileBytes(dir.File("text"), "head\r\n");
    ASSERT_TRUE(codec.EncodeFile(dir.File("out").c_str(), dir.File("text").c_str(), true));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("text")), "head\r\nQUJDQUJD\r\n");
    ASSERT_TRUE(codec.EncodeFile(dir.File("out").c_str(), dir.File("text").c_str(), false));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("text")), "QUJDQUJD\r\n");
}

TEST(SMimeFile, SaysWhichFileCouldNotBeOpenedAndTouchesNothing) {
    qimtest::TempDir dir;
    const std::string in = dir.File("in"), out = dir.File("out");
    qimtest::WriteFileBytes(in, "QUJD\r\n");
    struct Case {
        const char* what;
        std::string in, out;
        bool append;
        int error;
    } cases[] = {
        {"missing input", dir.File("missing"), out, false, SMime::kMimeErrorOpenInput},
        {"folder as input", dir.Path(), out, false, SMime::kMimeErrorOpenInput},
        {"output folder missing", in, dir.File("no/out"), false, SMime::kMimeErrorOpenOutput},
        {"output is the input", in, in, false, SMime::kMimeErrorOpenOutput},
        {"appending to the input", in, in, true, SMime::kMimeErrorOpenOutput},
    };
    for (const Case& c : cases) {
        SMimeBase64 decoder, encoder;
        EXPECT_FALSE(decoder.DecodeFile(c.in.c_str(), c.out.c_str(), c.append)) << c.what;
        EXPECT_EQ(decoder.ErrorCode(), c.error) << c.what;
        EXPECT_FALSE(encoder.EncodeFile(c.in.c_str(), c.out.c_str(), c.append)) << c.what;
        EXPECT_EQ(encoder.ErrorCode(), c.error) << c.what;
        EXPECT_FALSE(qimtest::FileExists(out)) << c.what;
        EXPECT_EQ(qimtest::ReadFileBytes(in), "QUJD\r\n") << c.what;
    }
    FILE* fp = platform::OpenFile(in.c_str(), "r");
    SMimeNoEncoded codec;
    EXPECT_FALSE(codec.DecodeFilePart(fp, 0, -1, in.c_str(), false));
    EXPECT_EQ(codec.ErrorCode(), SMime::kMimeErrorOpenOutput);
    std::fclose(fp);
    EXPECT_EQ(qimtest::ReadFileBytes(in), "QUJD\r\n");
}

// Runs `work` in a child whose files may not grow past 4 KB, as on a full disk;
// returns the child's exit status.
template <typename Work>
int WithSmallFileLimit(Work work) {
    pid_t child = fork();
    if (child == 0) {
        rlimit limit{4096, 4096};
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(99);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SMimeFile, AFailedWriteLeavesNoHalfWrittenOutput) {
    qimtest::TempDir dir;
    const std::string bytes = RandomBytes(60000, 6);
    qimtest::WriteFileBytes(dir.File("raw"), bytes);
    SMimeBase64 codec;
    ASSERT_TRUE(codec.EncodeFile(dir.File("raw").c_str(), dir.File("b64").c_str(), false));
    const std::string raw = dir.File("raw"), b64 = dir.File("b64"), out = dir.File("out"), kept = dir.File("kept");
    qimtest::WriteFileBytes(kept, "earlier contents\r\n");

    auto decodeNew = [&] {
        SMimeBase64 c;
        return c.DecodeFile(b64.c_str(), out.c_str(), false) ? 0 : c.ErrorCode();
    };
    EXPECT_EQ(WithSmallFileLimit(decodeNew), SMime::kMimeErrorWrite);
    EXPECT_FALSE(qimtest::FileExists(out)) << "the truncated output is removed";

    auto decodeAppend = [&] {
        SMimeBase64 c;
        return c.DecodeFile(b64.c_str(), kept.c_str(), true) ? 0 : c.ErrorCode();
    };
    EXPECT_EQ(WithSmallFileLimit(decodeAppend), SMime::kMimeErrorWrite);
    EXPECT_EQ(qimtest::ReadFileBytes(kept), "earlier contents\r\n") << "appended output is cut back";

    auto encodeAppend = [&] {
        SMimeQuotedPrintable c;
        return c.EncodeFile(raw.c_str(), kept.c_str(), true) ? 0 : c.ErrorCode();
    };
    EXPECT_EQ(WithSmallFileLimit(encodeAppend), SMime::kMimeErrorWrite);
    EXPECT_EQ(qimtest::ReadFileBytes(kept), "earlier contents\r\n");

    auto decodePart = [&] {
        FILE* fp = platform::OpenFile(b64.c_str(), "r");
        SMimeBase64 c;
        bool ok = c.DecodeFilePart(fp, 0, -1, out.c_str(), false);
        std::fclose(fp);
        return ok ? 0 : c.ErrorCode();
    };
    EXPECT_EQ(WithSmallFileLimit(decodePart), SMime::kMimeErrorWrite);
    EXPECT_FALSE(qimtest::FileExists(out));

    // A device named as output is never removed.
    EXPECT_FALSE(codec.DecodeFile(b64.c_str(), "/dev/full", false));
    EXPECT_EQ(codec.ErrorCode(), SMime::kMimeErrorWrite);
    EXPECT_TRUE(qimtest::FileExists("/dev/full"));
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SSocketRead.h"

namespace {

// A receive layer that hands out scripted chunks, one per receive; -1 when the
// script is used up (nothing waiting), or 0 for ever once `closeAtEnd` is set.
class ScriptedSocket : public SStreamSocket {
public:
    std::deque<std::string> chunks;
    bool closeAtEnd = false;
    int calls = 0;
    int largestAsk = 0;

    int Recv(char* buffer, int size) override {
        ++calls;
        largestAsk = std::max(largestAsk, size);
        if (chunks.empty()) return closeAtEnd ? 0 : -1;
        std::string& c = chunks.front();
        int n = std::min<int>(size, static_cast<int>(c.size()));
        std::memcpy(buffer, c.data(), static_cast<std::size_t>(n));
        c.erase(0, static_cast<std::size_t>(n));
        if (c.empty()) chunks.pop_front();
        return n;
    }
};

struct Line {
    std::string bytes;
    bool cut;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << '"' << testing::PrintToString(l.bytes) << '"' << (l.cut ? " (cut)" : "");
}

// The session's reading loop: for every data notification one MoveToMyBuffer,
// then lines until there are none. Each chunk stands for one notification.
std::vector<Line> ReadAll(const std::vector<std::string>& chunks) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    std::vector<Line> lines;
    for (const std::string& chunk : chunks) {
        socket.chunks.push_back(chunk);
        EXPECT_TRUE(reader.MoveToMyBuffer());
        while (const char* line = reader.GetALine()) {
            EXPECT_EQ(line[reader.LineLength()], '\0');
            EXPECT_LE(reader.LineLength(), kSocketLineSize);
            lines.push_back({std::string(line, static_cast<std::size_t>(reader.LineLength())), reader.IsCut()});
        }
        EXPECT_FALSE(reader.HasUnreadBytes());
    }
    return lines;
}

std::vector<std::string> OneBytePerChunk(const std::string& bytes) {
    std::vector<std::string> chunks;
    for (char c : bytes) chunks.emplace_back(1, c);
    return chunks;
}

// Splits `bytes` (at most 65 of them) before each position whose bit is set in `mask`.
std::vector<std::string> Chunked(const std::string& bytes, unsigned long mask) {
    std::vector<std::string> chunks(1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && (mask >> (i - 1) & 1)) chunks.emplace_back();
        chunks.back() += bytes[i];
    }
    return chunks;
}

struct AssemblyCase {
    const char* name;
    std::string stream;
    std::vector<Line> lines;
};

std::vector<AssemblyCase> AssemblyCases() {
    const std::string a1022(1022, 'a');
    const std::string b1024(1024, 'b');
    const std::string c1500(1498, 'c');
    return {
        {"one line", "+OK ready\r\n", {{"+OK ready\r\n", false}}},
        {"two replies", "250 OK\r\n354 go\r\n", {{"250 OK\r\n", false}, {"354 go\r\n", false}}},
        {"bare LF stays inside", "ab\ncd\r\n", {{"ab\ncd\r\n", false}}},
        {"bare CR stays inside", "ab\rcd\r\n", {{"ab\rcd\r\n", false}}},
        {"empty line", "\r\n.\r\n", {{"\r\n", false}, {".\r\n", false}}},
        {"LF at line start ends it", "\nx\r\n", {{"\n", false}, {"x\r\n", false}}},
        {"incomplete tail is kept back", "a\r\nbc", {{"a\r\n", false}}},
        {"CR LF at 1023-1024 fits", a1022 + "\r\n", {{a1022 + "\r\n", false}}},
        {"1500 bytes: 1024 cut, 476 whole", c1500 + "\r\n",
         {{std::string(1024, 'c'), true}, {std::string(474, 'c') + "\r\n", false}}},
        {"CR is byte 1024: the LF alone follows", b1024.substr(1) + "\r\n",
         {{b1024.substr(1) + "\r", true}, {"\n", false}}},
        {"exactly 1024 without line end", b1024 + "\r\n", {{b1024, true}, {"\r\n", false}}},
        {"two full buffers", b1024 + b1024 + "x\r\n", {{b1024, true}, {b1024, true}, {"x\r\n", false}}},
        {"NUL bytes are data", std::string("25\0-x\r\n", 7), {{std::string("25\0-x\r\n", 7), false}}},
    };
}

TEST(SSocketReadAssembly, LinesAndCutFlagsDoNotDependOnHowReceivesSplitTheBytes) {
    for (const AssemblyCase& c : AssemblyCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll({c.stream}), c.lines);
        EXPECT_EQ(ReadAll(OneBytePerChunk(c.stream)), c.lines) << "one byte per receive";
        for (std::size_t cut = 1; cut < c.stream.size(); ++cut)
            ASSERT_EQ(ReadAll({c.stream.substr(0, cut), c.stream.substr(cut)}), c.lines) << "split at " << cut;
        if (c.stream.size() <= 14) {
            for (unsigned long mask = 0; mask < (1UL << (c.stream.size() - 1)); ++mask)
                ASSERT_EQ(ReadAll(Chunked(c.stream, mask)), c.lines) << "chunking mask " << mask;
        }
    }
}

TEST(SSocketReadAssembly, LineSplitAcrossTwoReceivesAppearsOnlyWhenComplete) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    socket.chunks = {"+OK 2 3", "20\r\n"};
    ASSERT_TRUE(reader.MoveToMyBuffer());
    EXPECT_EQ(reader.GetALine(), nullptr);
    ASSERT_TRUE(reader.MoveToMyBuffer());
    const char* line = reader.GetALine();
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line, "+OK 2 320\r\n");
    EXPECT_EQ(reader.GetALine(), nullptr);
}

TEST(SSocketReadReceive, ReceivesOnlyWhenTheBufferIsUsedUp) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    socket.chunks = {"a\r\nb\r\n", "c\r\n"};
    ASSERT_TRUE(reader.MoveToMyBuffer());
    ASSERT_NE(reader.GetALine(), nullptr);
    EXPECT_TRUE(reader.HasUnreadBytes());
    EXPECT_TRUE(reader.MoveToMyBuffer());
    EXPECT_EQ(socket.calls, 1) << "unread bytes must be used before the next receive";
    EXPECT_STREQ(reader.GetALine(), "b\r\n");
    EXPECT_TRUE(reader.MoveToMyBuffer());
    EXPECT_EQ(socket.calls, 2);
    EXPECT_EQ(reader.LastReceive(), 3);
    EXPECT_LE(socket.largestAsk, kSocketRecvSize);
}

TEST(SSocketReadReceive, NothingWaitingFailsAndPeerCloseGivesNoLines) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    socket.chunks = {"par"};
    ASSERT_TRUE(reader.MoveToMyBuffer());
    EXPECT_EQ(reader.GetALine(), nullptr);
    EXPECT_FALSE(reader.MoveToMyBuffer());
    EXPECT_EQ(reader.LastReceive(), -1);
    socket.closeAtEnd = true;
    EXPECT_TRUE(reader.MoveToMyBuffer());
    EXPECT_EQ(reader.LastReceive(), 0);
    EXPECT_EQ(reader.GetALine(), nullptr) << "a partial line is not delivered at close";
}

// A receive layer that reports more bytes than it was allowed to write.
class LyingSocket : public SStreamSocket {
public:
    int Recv(char*, int size) override { return size + 1; }
};

TEST(SSocketReadReceive, CountAboveTheBufferIsTakenAsAFailure) {
    LyingSocket socket;
    SSocketRead reader(&socket);
    EXPECT_FALSE(reader.MoveToMyBuffer());
    EXPECT_FALSE(reader.HasUnreadBytes());
    EXPECT_EQ(reader.GetALine(), nullptr);
}

// One line in a reader of type R, ready for its reply tests.
template <typename R>
struct OneLine {
    ScriptedSocket socket;
    R reader{&socket};
    explicit OneLine(const std::string& line) {
        socket.chunks = {line};
        reader.MoveToMyBuffer();
        reader.GetALine();
    }
};

TEST(SSocketReadTokens, CutsAtBlanksAndReportsMissingTokens) {
    struct Case {
        std::string line;
        int asked;  // how many tokens are asked for
        bool result;
        std::vector<std::string> tokens;  // "-" for a slot left untouched
    } cases[] = {
        {"+OK 2 320\r\n", 3, true, {"+OK", "2", "320"}},
        {"  a\tb  c d\r\n", 3, true, {"a", "b", "c"}},
        {"a b\r\n", 3, false, {"a", "b", "-"}},
        {"a\r\n", 2, false, {"a", "-", "-"}},
        {"a\r\n", 1, true, {"a", "-", "-"}},
        {"\r\n", 1, true, {"-", "-", "-"}},  // no token, yet true: only the first was asked for
        {"\r\n", 2, false, {"-", "-", "-"}},
    };
    for (const Case& c : cases) {
        OneLine<SSocketRead> one(c.line);
        const char* untouched = "-";
        const char* t[3] = {untouched, untouched, untouched};
        bool result = one.reader.GetTokens(&t[0], c.asked > 1 ? &t[1] : nullptr, c.asked > 2 ? &t[2] : nullptr);
        EXPECT_EQ(result, c.result) << c.line;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(std::string(t[i]), c.tokens[static_cast<std::size_t>(i)]) << c.line;
    }
}

TEST(SPop3Read, RepliesAreRecognised) {
    struct Case {
        std::string line;
        bool ok;
    } cases[] = {
        {"+OK POP3 ready\r\n", true},  {"+ok\r\n", true},     {"+Ok fine\r\n", true},
        {"-ERR no\r\n", false},        {"+OKAY\r\n", false},  {"OK\r\n", false},
        {"\r\n", false},               {" +OK\r\n", true},    {std::string("+OK\0x\r\n", 7), true},
    };
    for (const Case& c : cases) EXPECT_EQ(OneLine<SPop3Read>(c.line).reader.IsOK(), c.ok) << c.line;
}

TEST(SPop3Read, StatTakesCountAndSizeFromAWellFormedReply) {
    struct Case {
        std::string line;
        bool ok;
        int count;
        long size;
    } cases[] = {
        {"+OK 2 320\r\n", true, 2, 320},
        {"+ok 0 0\r\n", true, 0, 0},
        {"+OK 2 320 extra\r\n", true, 2, 320},
        {"+OK 2147483647 9000000000\r\n", true, 2147483647, 9000000000L},
        {"+OK\r\n", false, -7, -7},
        {"+OK 2\r\n", false, -7, -7},
        {"-ERR 2 320\r\n", false, -7, -7},
        {"+OK two 320\r\n", false, -7, -7},
        {"+OK -2 320\r\n", false, -7, -7},
        {"+OK 2 32x\r\n", false, -7, -7},
        {"+OK 2147483648 1\r\n", false, -7, -7},  // does not fit the count
        {"+OK 1 99999999999999999999\r\n", false, -7, -7},
    };
    for (const Case& c : cases) {
        int count = -7;
        long size = -7;
        EXPECT_EQ(OneLine<SPop3Read>(c.line).reader.Stat(&count, &size), c.ok) << c.line;
        EXPECT_EQ(count, c.count) << c.line;
        EXPECT_EQ(size, c.size) << c.line;
    }
}

TEST(SPop3Read, ApopTimestampIsTheFirstBracketedToken) {
    struct Case {
        std::string line;
        const char* stamp;  // null: none found
    } cases[] = {
        {"+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n", "<1896.697170952@dbc.mtview.ca.us>"},
        {"+OK <a@b> <c@d>\r\n", "<a@b>"},
        {"<a@b> +OK\r\n", "<a@b>"},
        {"+OK <a@b>x <c@d>\r\n", "<c@d>"},
        {"+OK <a b@c>\r\n", nullptr},  // a stamp with a blank is not found
        {"+OK <\r\n", nullptr},
        {"+OK ready\r\n", nullptr},
        {"+OK\t<t@h>\r\n", "<t@h>"},
    };
    for (const Case& c : cases) {
        const char* stamp = nullptr;
        OneLine<SPop3Read> one(c.line);
        bool found = one.reader.GetApopTimestamp(&stamp);
        EXPECT_EQ(found, c.stamp != nullptr) << c.line;
        if (found && c.stamp) {
            EXPECT_STREQ(stamp, c.stamp) << c.line;
        }
    }
}

TEST(SSmtpRead, ReplyCodesAndContinuationLines) {
    struct Case {
        std::string line;
        int code;
        int other;
        int result;
    } cases[] = {
        {"250-SIZE 1000\r\n", 250, -1, SSmtpRead::kContinued},
        {"250 OK\r\n", 250, -1, SSmtpRead::kAccepted},
        {"250 OK\r\n", 354, -1, SSmtpRead::kRefused},
        {"251 forwarded\r\n", 250, 251, SSmtpRead::kAccepted},
        {"252 maybe\r\n", 250, 251, SSmtpRead::kRefused},
        {"250\r\n", 250, -1, SSmtpRead::kAccepted},
        {"2500 x\r\n", 250, -1, SSmtpRead::kRefused},
        {"550-no\r\n", 250, -1, SSmtpRead::kContinued},  // the final line decides
        {"\r\n", 250, -1, SSmtpRead::kRefused},
        {"\n", 250, -1, SSmtpRead::kRefused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OneLine<SSmtpRead>(c.line).reader.IsOK(c.code, c.other), c.result) << c.line;
}

TEST(SSmtpRead, ShortLineIsNotTakenForAContinuationByLeftoverBytes) {
    ScriptedSocket socket;
    SSmtpRead reader(&socket);
    socket.chunks = {"250-first\r\n\n"};
    ASSERT_TRUE(reader.MoveToMyBuffer());
    ASSERT_NE(reader.GetALine(), nullptr);
    EXPECT_EQ(reader.IsOK(250), SSmtpRead::kContinued);
    ASSERT_STREQ(reader.GetALine(), "\n");
    EXPECT_EQ(reader.IsOK(250), SSmtpRead::kRefused);
}

// The SMTP conversation's reading of one reply: continuation lines are skipped,
// the first final line decides; -1 while no final line has arrived.
int ReadSmtpReply(SSmtpRead& reader, int code) {
    if (!reader.MoveToMyBuffer()) return -1;
    while (reader.GetALine()) {
        int r = reader.IsOK(code);
        if (r != SSmtpRead::kContinued) return r;
    }
    return -1;
}

TEST(SSmtpRead, MultiLineReplyIsDecidedByItsFinalLineWhateverTheReceives) {
    const std::string reply = "250-mail.example\r\n250-SIZE\r\n250 HELP\r\n";
    for (std::size_t a = 1; a < reply.size(); ++a) {
        for (std::size_t b = a + 1; b < reply.size(); b += 3) {
            ScriptedSocket socket;
            SSmtpRead reader(&socket);
            socket.chunks = {reply.substr(0, a), reply.substr(a, b - a), reply.substr(b)};
            int result = -1;
            for (int notification = 0; notification < 3 && result == -1; ++notification)
                result = ReadSmtpReply(reader, 250);
            EXPECT_EQ(result, SSmtpRead::kAccepted) << a << "/" << b;
            EXPECT_TRUE(socket.chunks.empty()) << a << "/" << b << ": decided before the final line";
        }
    }
}

#define KI "\x1B$B"
#define KO "\x1B(B"

std::string JisToSjis(const std::string& jis) {
    std::string out(jis.size() + 1, '\0');
    out.resize(static_cast<std::size_t>(
        Jis2SjisBytes(out.data(), reinterpret_cast<const unsigned char*>(jis.data()), static_cast<int>(jis.size()))));
    return out;
}

// Reads `stream` through GetASjisLine; the pieces of each line are joined.
std::vector<std::string> ReadSjisLines(const std::string& stream, std::size_t chunk) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    for (std::size_t i = 0; i < stream.size(); i += chunk) socket.chunks.push_back(stream.substr(i, chunk));
    std::vector<std::string> lines(1);
    while (reader.MoveToMyBuffer()) {
        while (const char* piece = reader.GetASjisLine()) {
            EXPECT_EQ(static_cast<int>(std::strlen(piece)), reader.SjisLineLength());
            EXPECT_LE(reader.SjisLineLength(), SSocketRead::kSjisLineSize);
            lines.back() += piece;
            if (!reader.IsCut()) lines.emplace_back();
        }
    }
    lines.pop_back();
    return lines;
}

TEST(SSocketReadSjis, ShortLinesAreConverted) {
    EXPECT_EQ(ReadSjisLines("Subject: " KI "\x24\x22\x24\x24" KO "\r\nplain\r\n", 5),
              (std::vector<std::string>{"Subject: \x82\xA0\x82\xA2\r\n", "plain\r\n"}));
}

TEST(SSocketReadSjis, LongKanjiLineConvertsAsOneTextWhereverTheCutFalls) {
    // The cut at 1024 bytes falls inside the escape sequence, between the two
    // bytes of a character, or on a boundary, depending on the lead-in.
    std::string kanji;
    for (int i = 0; i < 700; ++i) kanji += "\x24\x22\x30\x21";  // あ亜...
    for (int lead = 0; lead < 8; ++lead) {
        for (int escAt = 1018; escAt <= 1024; ++escAt) {
            std::string line = std::string(static_cast<std::size_t>(lead), 'x') + KI + kanji + KO + "end\r\n";
            // Also a run that starts right at the cut.
            std::string late = std::string(static_cast<std::size_t>(escAt), 'y') + KI + "\x24\x22" KO "\r\n";
            for (const std::string& l : {line, late}) {
                std::vector<std::string> got = ReadSjisLines(l + "next\r\n", 4000);
                ASSERT_EQ(got.size(), 2u);
                EXPECT_EQ(got[0], JisToSjis(l)) << "lead " << lead << ", run at " << escAt;
                EXPECT_EQ(got[1], "next\r\n");
            }
        }
    }
}

TEST(SSocketReadSjis, AnOpenKanjiRunDoesNotLeakIntoTheNextLine) {
    // A broken line that never leaves kanji, followed by ordinary lines.
    std::string broken = std::string(1020, 'x') + KI + std::string(600, '\x24') + "\r\n";
    std::vector<std::string> got = ReadSjisLines(broken + "ascii\r\n", 10240);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], JisToSjis(broken));
    EXPECT_EQ(got[1], "ascii\r\n");
}

// Random bytes, rich in the bytes that matter to the reader, split at random.
std::string RandomStream(std::mt19937& rng, std::size_t size) {
    static const char special[] = {'\r', '\n', '\0', '-', ' ', '\t', '+', 'O', 'K', '2', '5', '0', '<', '>', '\x1B',
                                   '$', '(', 'B', '\x24', '\x22', '\x7E', '\x80', '\xFF'};
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> specialIndex(0, sizeof special - 1);
    std::geometric_distribution<std::size_t> runLength(0.002);
    std::string s;
    while (s.size() < size) {
        int kind = pick(rng);
        if (kind == 0) s += static_cast<char>(anyByte(rng));
        else if (kind == 1) s += special[specialIndex(rng)];
        else if (kind == 2) s += "\r\n";
        else s.append(std::min(runLength(rng), size - s.size()), 'a');  // long lines now and then
    }
    return s;
}

TEST(SSocketReadFuzz, RandomBytesAndChunkingKeepEveryByteAndTheBounds) {
    const unsigned seed = 20240601;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> chunkSize(1, 2 * kSocketRecvSize);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        const bool sjis = round % 2 == 1;
        std::string stream = RandomStream(rng, static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 40000)(rng)));
        ScriptedSocket socket;
        for (std::size_t i = 0; i < stream.size();) {
            std::size_t n = static_cast<std::size_t>(chunkSize(rng));
            socket.chunks.push_back(stream.substr(i, n));
            i += n;
        }
        socket.closeAtEnd = true;
        SSmtpRead reader(&socket);
        std::size_t pos = 0;        // bytes of the stream delivered so far
        std::string rawLine;        // the pieces of the current line, raw
        std::string sjisLine;       // and converted
        while (reader.MoveToMyBuffer() && reader.LastReceive() > 0) {
            while (const char* line = sjis ? reader.GetASjisLine() : reader.GetALine()) {
                const int length = reader.LineLength();
                ASSERT_GE(length, 1);
                ASSERT_LE(length, kSocketLineSize);
                const std::string raw = stream.substr(pos, static_cast<std::size_t>(length));
                pos += raw.size();
                if (reader.IsCut()) {
                    ASSERT_EQ(length, kSocketLineSize);
                } else {
                    ASSERT_EQ(raw.back(), '\n');
                    ASSERT_TRUE(length == 1 || raw[raw.size() - 2] == '\r');
                }
                if (sjis) {
                    ASSERT_LE(reader.SjisLineLength(), SSocketRead::kSjisLineSize);
                    ASSERT_EQ(line[reader.SjisLineLength()], '\0');
                    sjisLine.append(line, static_cast<std::size_t>(reader.SjisLineLength()));
                } else {
                    ASSERT_EQ(std::string(line, static_cast<std::size_t>(length)), raw);
                    ASSERT_EQ(line[length], '\0');
                }
                rawLine += raw;
                const char* tokens[3] = {};
                reader.GetTokens(&tokens[0], &tokens[1], &tokens[2]);
                int r = reader.IsOK(250, 251);
                ASSERT_TRUE(r == SSmtpRead::kRefused || r == SSmtpRead::kAccepted || r == SSmtpRead::kContinued);
                if (!reader.IsCut()) {
                    // Pieces joined convert like the whole line, NUL bytes and all.
                    if (sjis) {
                        ASSERT_EQ(sjisLine, JisToSjis(rawLine));
                    }
                    rawLine.clear();
                    sjisLine.clear();
                }
            }
        }
        // Every byte up to the last line end arrives once and in order; what
        // is left is shorter than a buffer and has no line end.
        std::string rest = stream.substr(pos);
        ASSERT_LT(rest.size(), static_cast<std::size_t>(kSocketLineSize));
        ASSERT_TRUE(rest.find("\r\n") == std::string::npos);
    }
}

// The POP3 reply tests over random lines: they answer and stay in bounds.
TEST(SSocketReadFuzz, ReplyParsersTakeAnyLine) {
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string line = RandomStream(rng, static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 1100)(rng)));
        ScriptedSocket socket;
        socket.chunks = {line};
        SPop3Read pop(&socket);
        if (!pop.MoveToMyBuffer()) continue;
        while (pop.GetALine()) {
            int count = 0;
            long size = 0;
            const char* stamp = nullptr;
            pop.IsOK();
            if (pop.Stat(&count, &size)) {
                ASSERT_GE(count, 0);
                ASSERT_GE(size, 0);
            }
            if (pop.GetApopTimestamp(&stamp)) {
                std::size_t n = std::strlen(stamp);
                ASSERT_GE(n, 2u);
                ASSERT_LE(n, static_cast<std::size_t>(kSocketLineSize));
                ASSERT_EQ(stamp[0], '<');
                ASSERT_EQ(stamp[n - 1], '>');
            }
        }
    }
}

// A server that never ends a line, or never ends a multi-line reply: the
// reader keeps handing out bounded pieces from the same fixed buffer and each
// notification's loop ends.
TEST(SSocketReadHostile, EndlessLineComesInBoundedPiecesFromTheSameBuffer) {
    ScriptedSocket socket;
    SSocketRead reader(&socket);
    const std::size_t total = 20u << 20;  // 20 MB without a line end
    const std::string chunk(kSocketRecvSize * 3, 'Z');
    std::size_t sent = 0;
    std::size_t got = 0;
    const char* first = nullptr;
    while (sent < total) {
        socket.chunks.push_back(chunk);
        sent += chunk.size();
        while (!socket.chunks.empty()) {
            ASSERT_TRUE(reader.MoveToMyBuffer());
            while (const char* piece = reader.GetALine()) {
                if (!first) first = piece;
                ASSERT_EQ(piece, first) << "a line must not move to a new buffer";
                ASSERT_TRUE(reader.IsCut());
                ASSERT_EQ(reader.LineLength(), kSocketLineSize);
                got += static_cast<std::size_t>(reader.LineLength());
            }
        }
    }
    EXPECT_EQ(got, sent - sent % kSocketLineSize);
    EXPECT_LE(socket.largestAsk, kSocketRecvSize);
}

TEST(SSocketReadHostile, EndlessMultiLineReplyNeverDecidesAndNeverStalls) {
    ScriptedSocket socket;
    SSmtpRead reader(&socket);
    std::string burst;
    for (int i = 0; i < 1000; ++i) burst += "250-still going " + std::to_string(i) + "\r\n";
    long lines = 0;
    for (int notification = 0; notification < 300; ++notification) {
        socket.chunks.push_back(burst);
        while (!socket.chunks.empty()) {
            ASSERT_TRUE(reader.MoveToMyBuffer());
            while (reader.GetALine()) {
                ASSERT_EQ(reader.IsOK(250), SSmtpRead::kContinued);
                ++lines;
            }
        }
    }
    EXPECT_EQ(lines, 300L * 1000);
}

TEST(SSocketReadHostile, NulBytesNeitherEndNorHideLines) {
    std::string nuls(3000, '\0');
    std::vector<Line> lines = ReadAll({nuls + "\r\n+OK\r\n"});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (Line{std::string(1024, '\0'), true}));
    EXPECT_EQ(lines[2], (Line{std::string(952, '\0') + "\r\n", false}));
    EXPECT_EQ(lines[3], (Line{"+OK\r\n", false}));

    ScriptedSocket socket;
    SPop3Read pop(&socket);
    socket.chunks = {std::string("\0+OK\r\n", 6)};
    ASSERT_TRUE(pop.MoveToMyBuffer());
    const char* converted = pop.GetASjisLine();
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(std::string(converted, static_cast<std::size_t>(pop.SjisLineLength())), std::string("\0+OK\r\n", 6))
        << "a NUL is converted like any byte";
    EXPECT_EQ(pop.LineLength(), 6);
    EXPECT_FALSE(pop.IsOK());
}

}  // namespace

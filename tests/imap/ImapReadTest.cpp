// The reader's framing of the server's bytes: literals taken by count
// however the receives split them, the rest of a response after its literal,
// sizes no client can take, and lines that never end.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "imap/SImap4Read.h"

namespace {

class Chunks : public SStreamSocket {
public:
    std::deque<std::string> chunks;
    int Recv(char* buffer, int size) override {
        if (chunks.empty()) return -1;
        std::string& c = chunks.front();
        const int n = std::min<int>(size, static_cast<int>(c.size()));
        std::memcpy(buffer, c.data(), static_cast<std::size_t>(n));
        c.erase(0, static_cast<std::size_t>(n));
        if (c.empty()) chunks.pop_front();
        return n;
    }
};

struct Seen {
    char kind;  // 'L' line start, 'r' rest of a line or response, 'B' literal bytes
    std::string bytes;
    bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Seen& s) { return os << s.kind << testing::PrintToString(s.bytes); }

// Reads as the session does: one receive per notification (each chunk), then
// every piece. Literal bytes that follow each other are joined.
std::vector<Seen> ReadAll(const std::vector<std::string>& chunks, SImap4Read** keep = nullptr) {
    static Chunks socket;
    socket.chunks.assign(chunks.begin(), chunks.end());
    static SImap4Read* reader = nullptr;
    delete reader;
    reader = new SImap4Read(&socket);
    if (keep) *keep = reader;
    std::vector<Seen> seen;
    bool lineCut = false;  // the last line piece goes on in the next one
    while (!socket.chunks.empty() && !reader->Broken()) {
        if (!reader->MoveToMyBuffer()) break;
        for (SImap4Read::Piece p; (p = reader->Next()) != SImap4Read::Piece::None;) {
            const std::string bytes(reader->RawData(), static_cast<std::size_t>(reader->LineLength()));
            const char kind = p == SImap4Read::Piece::Literal ? 'B' : reader->StartsResponse() ? 'L' : 'r';
            if (kind == 'B' && !seen.empty() && seen.back().kind == 'B') seen.back().bytes += bytes;
            else if (kind == 'r' && lineCut) seen.back().bytes += bytes;
            else seen.push_back({kind, bytes});
            if (kind != 'B') lineCut = reader->IsCut();
        }
    }
    return seen;
}

TEST(ImapRead, ALiteralIsTakenByCountWhereverTheReceivesSplitIt) {
    // The literal ends without a line end, right before the ")" of its response.
    const std::string stream =
        "* 1 FETCH (BODY[] {9}\r\nab\r\n\r\ncd)\r\n* 2 EXISTS\r\na0003 OK {0}\r\n done\r\n";
    const std::vector<Seen> expected = {
        {'L', "* 1 FETCH (BODY[] {9}\r\n"}, {'B', "ab\r\n\r\ncd)"}, {'r', "\r\n"}, {'L', "* 2 EXISTS\r\n"},
        {'L', "a0003 OK {0}\r\n"}, {'r', " done\r\n"}};
    // 9 bytes: "ab\r\n\r\ncd)" is the literal, so ")" here belongs to it.
    EXPECT_EQ(ReadAll({stream}), expected);
    for (std::size_t cut = 1; cut < stream.size(); ++cut)
        EXPECT_EQ(ReadAll({stream.substr(0, cut), stream.substr(cut)}), expected) << "split at " << cut;
}

TEST(ImapRead, ALongLiteralComesInBoundedPiecesThatAddUpToItsSize) {
    const std::string body(3000, 'x');
    std::vector<std::string> chunks = {"* 1 FETCH (BODY[] {3000}\r\n", body.substr(0, 1500), body.substr(1500) + ")\r\n"};
    SImap4Read* reader = nullptr;
    const std::vector<Seen> seen = ReadAll(chunks, &reader);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], (Seen{'B', body}));
    EXPECT_EQ(seen[2], (Seen{'r', ")\r\n"}));
    EXPECT_EQ(reader->PendingLiteral(), -1);
}

TEST(ImapRead, ASizeNoClientTakesStopsTheReaderWithoutTakingMemory) {
    SImap4Read* reader = nullptr;
    // The largest literal a client takes is read as it comes; nothing is set aside for it.
    std::vector<Seen> seen = ReadAll({"* 1 FETCH (BODY[] {2147483647}\r\nabc\r\n"}, &reader);
    EXPECT_FALSE(reader->Broken());
    EXPECT_EQ(seen.back(), (Seen{'B', "abc\r\n"}));
    EXPECT_EQ(reader->PendingLiteral(), 2147483647 - 5);
    for (const char* line : {"* 1 FETCH (BODY[] {2147483648}\r\nabc\r\n", "* 1 FETCH (BODY[] {99999999999999999999}\r\n"}) {
        seen = ReadAll({line, "a0001 OK\r\n"}, &reader);
        EXPECT_TRUE(reader->Broken()) << line;
        EXPECT_EQ(seen.size(), 1u) << "nothing after it is read";
    }
}

TEST(ImapRead, ALineThatNeverEndsComesInPiecesOfTheLineBuffer) {
    SImap4Read* reader = nullptr;
    const std::string endless(100000, 'y');
    std::vector<std::string> chunks;
    for (std::size_t at = 0; at < endless.size(); at += 7000) chunks.push_back(endless.substr(at, 7000));
    chunks.push_back("\r\na0001 OK\r\n");
    const std::vector<Seen> seen = ReadAll(chunks, &reader);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].bytes, endless + "\r\n");
    EXPECT_EQ(seen[1], (Seen{'L', "a0001 OK\r\n"}));
    // A "{n}" split off by a cut is still seen at the line's end.
    const std::string longLine = "* 1 FETCH (" + std::string(1020, 'z') + " {3}\r\nabc)\r\n";
    const std::vector<Seen> framed = ReadAll({longLine});
    ASSERT_EQ(framed.size(), 3u);
    EXPECT_EQ(framed[1], (Seen{'B', "abc"}));
}

TEST(ImapRead, ListRepliesGiveTheirDelimiterAndNameInEachForm) {
    std::string delimiter, name;
    bool inLiteral = false;
    const struct {
        std::string line, delimiter, name;
        bool inLiteral;
    } cases[] = {
        {"* LIST (\\HasNoChildren) \".\" \"_QimP.Work\"\r\n", ".", "_QimP.Work", false},
        {"* LIST () \"\\\\\" \"a\\\"b\"\r\n", "\\", "a\"b", false},
        {"* list (\\Noselect) NIL INBOX\r\n", "", "INBOX", false},
        {"* LIST () \"/\" {5}\r\n", "/", "", true},
    };
    for (const auto& c : cases) {
        Chunks socket;
        socket.chunks = {c.line};
        SImap4Read one(&socket);
        ASSERT_TRUE(one.MoveToMyBuffer());
        ASSERT_EQ(one.Next(), SImap4Read::Piece::Line);
        ASSERT_TRUE(one.ParseList(&delimiter, &name, &inLiteral)) << c.line;
        EXPECT_EQ(delimiter, c.delimiter) << c.line;
        EXPECT_EQ(name, c.name) << c.line;
        EXPECT_EQ(inLiteral, c.inLiteral) << c.line;
    }
}

}  // namespace

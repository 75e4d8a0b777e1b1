// The line reader of the IMAP4 session. Besides lines it knows literals: a
// line that ends with "{n}" is followed by n bytes taken by count, whatever
// they hold, and then by the rest of the same response. Next delivers the
// server's bytes as pieces of either kind, a long line or literal line in
// parts of at most kSocketLineSize bytes, so nothing the server claims or
// sends makes memory grow. The Parse operations judge the current line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/SSocketRead.h"
#include "imap/SJisPieceConverter.h"

// The state of the selected mailbox as untagged data tell it.
struct SImap4Status {
    unsigned flags = 0;  // the flags of "* FLAGS (...)", as bits
    int exists = 0;
    int recent = 0;
    std::uint32_t uidValidity = 0;
    int unseen = 0;      // the first unseen message
    void Clear() { *this = SImap4Status(); }
};

// What the FETCH response of one message told so far.
struct SImap4FetchRecord {
    unsigned flags = 0;
    std::uint32_t size = 0;  // RFC822.SIZE
    int literal = -1;        // the length of its literal; -1 while none was announced
    int number = 0;          // the message number
    int consumed = 0;        // literal bytes received so far
    void Clear() { *this = SImap4FetchRecord(); }
};

class SImap4Read : public SSocketRead {
public:
    enum class Piece { None, Line, Literal };
    // The bits of Classify.
    static constexpr int kNoTokens = 1;
    static constexpr int kTagged = 2;    // the first token is the tag
    static constexpr int kUntagged = 4;  // the first token is "*"
    static constexpr int kOk = 8;        // the second token is "OK"
    // What ParseStatus found.
    enum class StatusKind { None, Flags, UidValidity, Unseen, Exists, Recent };
    // The longest literal taken: a larger one is no reply but a broken server.
    static constexpr long long kLiteralMax = 0x7FFFFFFF;

    explicit SImap4Read(SStreamSocket* socket);

    // The next piece of what is buffered, or None when more must be received
    // first (or the reader is Broken). A Line is a response line or a part of
    // one (IsCut: the line goes on in the next piece); a Literal is a part of
    // the literal the line before announced, up to and with a line feed, or
    // at most kSocketLineSize bytes, or up to the literal's end.
    Piece Next();
    // This line piece begins a response: it is not the rest of a cut line nor
    // the rest of a response after its literal.
    bool StartsResponse() const { return startsResponse_; }
    // This line piece ends the line with "{n}": a literal of AnnouncedLength
    // bytes follows.
    bool AnnouncesLiteral() const { return announced_ >= 0; }
    int AnnouncedLength() const { return announced_; }
    // Bytes of the literal still to come after the current piece; -1 when no
    // literal is under way.
    int PendingLiteral() const { return pendingLiteral_; }
    // The bytes of the current piece as they came (LineLength of them).
    const char* RawData() const { return lineBuf_; }
    // The current literal piece converted from ISO-2022-JP to Shift_JIS (a
    // character the piece's end split comes with the next piece).
    const char* SjisPiece() const { return sjisPiece_.get(); }
    int SjisPieceLength() const { return sjisLength_; }
    // A literal too large to be taken was announced: nothing more is read.
    bool Broken() const { return broken_; }
    // Forgets everything received (a new connection, or TLS beginning).
    void Reset();
    // The socket of a new connection.
    void SetSocket(SStreamSocket* socket) { socket_ = socket; }

    // The next piece of the pending literal as Shift_JIS; `length` gets the
    // bytes it took from the server. Null when none is buffered.
    char* GetSjisLine(int* length);
    // Drops what is buffered, piece by piece.
    void DrainLines();

    // Judging the current line.
    int Classify(const char* tag);
    bool IsContinuation();
    bool IsSearchLine();
    // "* word ..." with the word compared without regard to case.
    bool IsUntagged(const char* word);
    StatusKind ParseStatus(SImap4Status& status);
    // "* LIST (attributes) delimiter name": the delimiter (empty for NIL) and
    // the name, unless it comes as the literal that follows (`nameInLiteral`).
    bool ParseList(std::string* delimiter, std::string* name, bool* nameInLiteral);
    // "* n FETCH (...": the number, RFC822.SIZE and FLAGS where the line has
    // them, and the literal's length when the line announces one.
    bool ParseFetchSize(SImap4FetchRecord& record);
    // The same for a body FETCH.
    bool ParseFetchLiteral(SImap4FetchRecord& record) { return ParseFetchSize(record); }
    // RFC822.SIZE and FLAGS items anywhere in `text` (also the rest of a
    // response after its literal).
    static void ParseFetchItems(const char* text, SImap4FetchRecord& record);
    // The current line without its line end.
    std::string LineText() const;

private:
    bool NextLiteralPiece();
    void NoteLineEnd();

    std::unique_ptr<char[]> sjisPiece_;
    SJisPieceConverter converter_;
    int pendingLiteral_ = -1;
    int announced_ = -1;
    bool startsResponse_ = false;
    bool responseStart_ = true;  // the next line piece begins a response
    bool broken_ = false;
    std::string tail_;           // the last bytes of the line under way, for "{n}"
};

// Line reading on a non-blocking socket and the reply tests of POP3 and SMTP.
// SSocketRead turns the chunks one receive brings into CR LF lines without ever
// blocking: the session calls MoveToMyBuffer when data is reported, then takes
// lines with GetALine until it returns null. All buffers are fixed and
// allocated once per connection.
#pragma once

#include <string>

#include "common/SStreamSocket.h"

constexpr int kSocketRecvSize = 10240;  // one receive fills at most this many bytes
constexpr int kSocketLineSize = 1024;   // longest line delivered; a longer one comes in pieces

class SSocketRead {
public:
    explicit SSocketRead(SStreamSocket* socket);
    virtual ~SSocketRead();
    SSocketRead(const SSocketRead&) = delete;
    SSocketRead& operator=(const SSocketRead&) = delete;

    // True at once while received bytes are unread. Otherwise one receive: false
    // when it gives -1 (an error, or nothing waiting), true otherwise (also for
    // 0, the peer closed; no new lines follow then).
    bool MoveToMyBuffer();
    // The next complete line with its CR LF, NUL-terminated, or null when the
    // received bytes end inside a line (the piece is kept for the next call).
    // Valid until the next call.
    char* GetALine();
    // The assembling step of GetALine: true when a line is complete in the line
    // buffer (or the buffer filled up, see IsCut).
    bool CopyToLineBuf();
    // GetALine converted from ISO-2022-JP to Shift_JIS. The pieces of a cut line
    // are converted as one text: a kanji run or a character split by the cut
    // continues in the next piece, which may then be up to two bytes longer than
    // kSocketLineSize (see kSjisLineSize).
    char* GetASjisLine();
    // Cuts a copy of the current line at blanks, tabs, CR and LF. `first` gets
    // the first token if there is one (left alone otherwise). With `second` null
    // the result is true; otherwise it gets the second token and the result is
    // false when there is none; likewise for `third`.
    bool GetTokens(const char** first, const char** second = nullptr, const char** third = nullptr);

    // The last line was delivered because the line buffer was full: it is a
    // piece of a longer line, and the rest comes as the next line(s).
    bool IsCut() const { return cut_; }
    // Bytes of the last line GetALine delivered (a NUL inside the data counts),
    // 0 when it delivered none.
    int LineLength() const { return lineLength_; }
    // The last line GetALine delivered as a message quotes a server's reply:
    // without its line end, control bytes as '?', at most kShownLineSize bytes.
    std::string ShownLine() const;
    static constexpr int kShownLineSize = 200;
    // Bytes of the last line GetASjisLine delivered.
    int SjisLineLength() const { return sjisLength_; }
    // What the last receive returned: a count, 0 when the peer closed, -1.
    int LastReceive() const { return lastReceive_; }
    // Received bytes that no line has taken yet.
    bool HasUnreadBytes() const { return readPos_ < dataEnd_; }
    // Forgets every byte received and not yet delivered, a partial line too:
    // what a server sent before the TLS handshake must never be read after it.
    void Discard();

    // Longest line GetASjisLine delivers: a piece of a cut line plus the (at
    // most two) bytes of a character the cut split off the piece before.
    static constexpr int kSjisLineSize = kSocketLineSize + 2;

protected:
    SStreamSocket* socket_;  // not owned
    char* recvBuf_;          // kSocketRecvSize + 1
    char* lineBuf_;          // kSocketLineSize + 1; the last byte is always NUL
    char* tokenBuf_;         // kSocketLineSize + 1
    char* sjisBuf_;          // kSjisBufferSize: room to convert in place (see the .cpp)
    int lastReceive_ = 0;
    int readPos_ = 0;
    int dataEnd_ = 0;
    int writePos_ = 0;
    int lineLength_ = 0;
    int sjisLength_ = 0;
    bool cut_ = false;

private:
    char* NextLine();
    void ConvertPieceToSjis();

    // Where a cut line stopped inside ISO-2022-JP text: whether a kanji run was
    // open, and the bytes of an escape sequence or character the cut split.
    bool carryKanji_ = false;
    int carryCount_ = 0;
    char carry_[2] = {};
};

// POP3 replies: "+OK ..." or "-ERR ...".
class SPop3Read : public SSocketRead {
public:
    using SSocketRead::SSocketRead;
    // The first token of the current line is "+OK", ASCII case ignored.
    bool IsOK();
    // A "+OK count size" line: three tokens, the first "+OK", the other two
    // decimal numbers in range.
    bool Stat(int* count, long* size);
    // The first blank-separated token of the line that begins with '<' and ends
    // with '>', brackets included (the APOP time stamp of the greeting).
    bool GetApopTimestamp(const char** stamp);
};

// SMTP replies: "250 OK", or lines "250-..." continuing a multi-line reply.
class SSmtpRead : public SSocketRead {
public:
    using SSocketRead::SSocketRead;
    static constexpr int kContinued = 2;  // a continuation line: read further lines
    static constexpr int kAccepted = 1;   // the reply code is one of those asked for
    static constexpr int kRefused = 0;
    // `otherCode` -1 when only `code` is acceptable.
    int IsOK(int code, int otherCode = -1);
};

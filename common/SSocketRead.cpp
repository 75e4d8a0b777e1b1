#include "common/SSocketRead.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "common/JString.h"
#include "common/JapaneseCodes.h"

namespace {

constexpr unsigned char kEsc = 0x1B;
// The Shift_JIS buffer is converted in place: it takes a kanji designation
// (ESC $ B) reopened for the continuation of a cut line, the carried bytes, the
// piece and a NUL.
constexpr int kSjisBufferSize = 3 + 2 + kSocketLineSize + 1;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

// Where the end of a piece of ISO-2022-JP text leaves the converter (the same
// reading as Jis2Sjis): whether a kanji run is open, and where the incomplete
// escape sequence or two-byte character at the very end begins (`length` when
// the piece ends on a boundary).
struct JisTail {
    bool kanji = false;
    int holdFrom = 0;
};

JisTail ScanJisTail(const unsigned char* s, int length) {
    JisTail tail;
    int i = 0;
    while (i < length) {
        int left = length - i;
        if (s[i] == kEsc) {
            if (left < 3) {
                bool prefix = left == 1 || s[i + 1] == '$' || (tail.kanji && s[i + 1] == '(');
                if (prefix) break;
                ++i;
                continue;
            }
            bool in = s[i + 1] == '$' && (s[i + 2] == 'B' || s[i + 2] == '@');
            bool out = s[i + 1] == '(' && (s[i + 2] == 'B' || s[i + 2] == 'J');
            if (in) {
                tail.kanji = true;
                i += 3;
            } else if (out && tail.kanji) {
                tail.kanji = false;
                i += 3;
            } else {
                ++i;
            }
            continue;
        }
        if (tail.kanji && IsJisByte(s[i])) {
            if (left == 1) break;
            i += IsJisByte(s[i + 1]) ? 2 : 1;
            continue;
        }
        ++i;
    }
    tail.holdFrom = i;
    return tail;
}

// Whole-token decimal number in [0, max]; nothing else is a number here.
bool ParseDecimal(const char* text, long max, long* value) {
    if (!*text) return false;
    long v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        int digit = *p - '0';
        if (v > (max - digit) / 10) return false;
        v = v * 10 + digit;
    }
    *value = v;
    return true;
}

}  // namespace

SSocketRead::SSocketRead(SStreamSocket* socket)
    : socket_(socket),
      recvBuf_(new char[kSocketRecvSize + 1]()),
      lineBuf_(new char[kSocketLineSize + 1]()),
      tokenBuf_(new char[kSocketLineSize + 1]()),
      sjisBuf_(new char[kSjisBufferSize]()) {}

SSocketRead::~SSocketRead() {
    delete[] recvBuf_;
    delete[] lineBuf_;
    delete[] tokenBuf_;
    delete[] sjisBuf_;
}

void SSocketRead::Discard() {
    readPos_ = dataEnd_ = writePos_ = 0;
    lineLength_ = sjisLength_ = 0;
    cut_ = carryKanji_ = false;
    carryCount_ = 0;
}

bool SSocketRead::MoveToMyBuffer() {
    if (HasUnreadBytes()) return true;
    int got = socket_->Recv(recvBuf_, kSocketRecvSize);
    // A receive layer that claims more than it was allowed to write is broken;
    // its count is not trusted.
    if (got < 0 || got > kSocketRecvSize) got = -1;
    lastReceive_ = got;
    readPos_ = 0;
    dataEnd_ = got < 0 ? 0 : got;
    return got >= 0;
}

bool SSocketRead::CopyToLineBuf() {
    cut_ = false;
    lineLength_ = 0;
    while (readPos_ < dataEnd_ && writePos_ < kSocketLineSize) {
        char c = recvBuf_[readPos_++];
        lineBuf_[writePos_++] = c;
        if (c == '\n' && (writePos_ == 1 || lineBuf_[writePos_ - 2] == '\r')) {
            lineBuf_[writePos_] = '\0';
            lineLength_ = writePos_;
            writePos_ = 0;
            return true;
        }
    }
    if (writePos_ == kSocketLineSize) {
        lineBuf_[kSocketLineSize] = '\0';
        lineLength_ = kSocketLineSize;
        cut_ = true;
        writePos_ = 0;
        return true;
    }
    return false;
}

char* SSocketRead::NextLine() { return CopyToLineBuf() ? lineBuf_ : nullptr; }

char* SSocketRead::GetALine() {
    // Lines taken raw end any conversion that a cut line had left open.
    carryKanji_ = false;
    carryCount_ = 0;
    return NextLine();
}

char* SSocketRead::GetASjisLine() {
    sjisLength_ = 0;
    if (!NextLine()) return nullptr;
    ConvertPieceToSjis();
    return sjisBuf_;
}

void SSocketRead::ConvertPieceToSjis() {
    int n = 0;
    if (carryKanji_) {
        sjisBuf_[n++] = static_cast<char>(kEsc);
        sjisBuf_[n++] = '$';
        sjisBuf_[n++] = 'B';
    }
    std::memcpy(sjisBuf_ + n, carry_, carryCount_);
    n += carryCount_;
    // Every byte of the line is converted, a NUL among them: a mail file
    // keeps what the server sent.
    std::memcpy(sjisBuf_ + n, lineBuf_, lineLength_);
    n += lineLength_;
    carryKanji_ = false;
    carryCount_ = 0;
    if (cut_) {
        JisTail tail = ScanJisTail(reinterpret_cast<const unsigned char*>(sjisBuf_), n);
        carryKanji_ = tail.kanji;
        carryCount_ = n - tail.holdFrom;
        std::memcpy(carry_, sjisBuf_ + tail.holdFrom, carryCount_);
        n = tail.holdFrom;
    }
    sjisLength_ = Jis2SjisBytes(sjisBuf_, reinterpret_cast<const unsigned char*>(sjisBuf_), n);
}

std::string SSocketRead::ShownLine() const {
    int n = lineLength_;
    while (n > 0 && (lineBuf_[n - 1] == '\n' || lineBuf_[n - 1] == '\r')) --n;
    std::string shown(lineBuf_, static_cast<std::size_t>(n < kShownLineSize ? n : kShownLineSize));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

bool SSocketRead::GetTokens(const char** first, const char** second, const char** third) {
    std::memcpy(tokenBuf_, lineBuf_, lineLength_);
    tokenBuf_[lineLength_] = '\0';
    char* p = tokenBuf_;
    auto next = [&p](const char** slot) {
        while (*p && IsBlank(*p)) ++p;
        if (!*p) return false;
        *slot = p;
        while (*p && !IsBlank(*p)) ++p;
        if (*p) *p++ = '\0';
        return true;
    };
    // Only the later tokens decide the result: a line without any token still
    // answers true when nothing but the first was asked for.
    bool found = next(first);
    if (!second) return true;
    if (!found || !next(second)) return false;
    return !third || next(third);
}

bool SPop3Read::IsOK() {
    const char* first = nullptr;
    GetTokens(&first);
    return first && jstraicmp(first, "+OK") == 0;
}

bool SPop3Read::Stat(int* count, long* size) {
    const char* tokens[3] = {};
    if (!GetTokens(&tokens[0], &tokens[1], &tokens[2])) return false;
    if (jstraicmp(tokens[0], "+OK") != 0) return false;
    long c = 0;
    long s = 0;
    if (!ParseDecimal(tokens[1], INT_MAX, &c) || !ParseDecimal(tokens[2], LONG_MAX, &s)) return false;
    *count = static_cast<int>(c);
    *size = s;
    return true;
}

bool SPop3Read::GetApopTimestamp(const char** stamp) {
    std::memcpy(tokenBuf_, lineBuf_, lineLength_);
    tokenBuf_[lineLength_] = '\0';
    char* p = tokenBuf_;
    while (*p) {
        while (*p && IsBlank(*p)) ++p;
        char* start = p;
        while (*p && !IsBlank(*p)) ++p;
        if (p - start >= 2 && start[0] == '<' && p[-1] == '>') {
            *p = '\0';
            *stamp = start;
            return true;
        }
    }
    return false;
}

int SSmtpRead::IsOK(int code, int otherCode) {
    if (lineLength_ > 3 && lineBuf_[3] == '-') return kContinued;
    const char* first = nullptr;
    GetTokens(&first);
    if (!first) return kRefused;
    char text[16];
    auto matches = [&](int c) {
        std::snprintf(text, sizeof text, "%d", c);
        return std::strcmp(first, text) == 0;
    };
    if (matches(code) || (otherCode != -1 && matches(otherCode))) return kAccepted;
    return kRefused;
}

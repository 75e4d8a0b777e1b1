#include "imap/SImap4Read.h"

#include <strings.h>

#include <climits>
#include <cstring>

#include "common/JString.h"
#include "imap/SImap4Flags.h"

namespace {

constexpr std::size_t kTailKept = 32;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A whole decimal number in [0, max]; false for anything else.
bool ParseNumber(const std::string& text, long long max, long long* value) {
    if (text.empty() || text.size() > 19) return false;
    long long v = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        v = v * 10 + (c - '0');
        if (v > max) return false;
    }
    *value = v;
    return true;
}

// The digits that begin `p`.
std::string DigitsAt(const char* p) {
    std::string digits;
    while (IsDigit(*p)) digits.push_back(*p++);
    return digits;
}

// Where the item `word` begins in `text` as a word of its own (after a blank
// or "("), case ignored; null when it does not.
const char* FindItem(const char* text, const char* word) {
    const std::size_t n = std::strlen(word);
    for (const char* p = text; *p; ++p) {
        if (strncasecmp(p, word, n) != 0) continue;
        if (p != text && !IsSpace(p[-1]) && p[-1] != '(') continue;
        return p;
    }
    return nullptr;
}

// Reads a quoted string at `p` (which points at the opening quote), removing
// the escapes; false when it does not close.
bool ReadQuoted(const char*& p, std::string& out) {
    out.clear();
    for (++p; *p; ++p) {
        if (*p == '"') {
            ++p;
            return true;
        }
        if (*p == '\\' && p[1]) ++p;
        out.push_back(*p);
    }
    return false;
}

}  // namespace

SImap4Read::SImap4Read(SStreamSocket* socket)
    : SSocketRead(socket), sjisPiece_(new char[kSocketLineSize + SJisPieceConverter::kExtra]()) {}

void SImap4Read::Reset() {
    Discard();
    converter_.Reset();
    pendingLiteral_ = -1;
    announced_ = -1;
    startsResponse_ = false;
    responseStart_ = true;
    broken_ = false;
    tail_.clear();
}

SImap4Read::Piece SImap4Read::Next() {
    if (broken_) return Piece::None;
    if (pendingLiteral_ > 0) return NextLiteralPiece() ? Piece::Literal : Piece::None;
    // After the literal (or at once for "{0}") the rest of its response follows.
    pendingLiteral_ = -1;
    if (!GetALine()) return Piece::None;
    startsResponse_ = responseStart_;
    announced_ = -1;
    tail_.append(lineBuf_, static_cast<std::size_t>(lineLength_));
    if (tail_.size() > kTailKept) tail_.erase(0, tail_.size() - kTailKept);
    if (IsCut()) {
        responseStart_ = false;
    } else {
        NoteLineEnd();
        tail_.clear();
    }
    return Piece::Line;
}

// At the end of a line: a "{n}" (or "{n+}") before its line end announces a literal.
void SImap4Read::NoteLineEnd() {
    responseStart_ = true;
    std::size_t end = tail_.size();
    while (end > 0 && (tail_[end - 1] == '\n' || tail_[end - 1] == '\r')) --end;
    if (end < 3 || tail_[end - 1] != '}') return;
    std::size_t close = end - 1;
    if (close > 0 && tail_[close - 1] == '+') --close;
    std::size_t open = close;
    while (open > 0 && IsDigit(tail_[open - 1])) --open;
    if (open == close || open == 0 || tail_[open - 1] != '{') return;
    long long n = 0;
    if (!ParseNumber(tail_.substr(open, close - open), kLiteralMax, &n)) {
        // Too large to be a literal a client takes: the stream cannot be
        // followed any further.
        broken_ = true;
        return;
    }
    announced_ = static_cast<int>(n);
    pendingLiteral_ = announced_;
    converter_.Reset();
    responseStart_ = false;
}

bool SImap4Read::NextLiteralPiece() {
    cut_ = false;
    lineLength_ = 0;
    bool lineEnd = false;
    while (readPos_ < dataEnd_ && writePos_ < kSocketLineSize && writePos_ < pendingLiteral_) {
        const char c = recvBuf_[readPos_++];
        lineBuf_[writePos_++] = c;
        if (c == '\n') {
            lineEnd = true;
            break;
        }
    }
    if (!lineEnd && writePos_ < kSocketLineSize && writePos_ < pendingLiteral_) return false;  // more must come
    lineLength_ = writePos_;
    lineBuf_[lineLength_] = '\0';
    writePos_ = 0;
    pendingLiteral_ -= lineLength_;
    // A piece of a longer line: a character split at its end goes on in the next.
    cut_ = !lineEnd && pendingLiteral_ > 0;
    sjisLength_ = converter_.Convert(lineBuf_, lineLength_, cut_, sjisPiece_.get());
    return true;
}

char* SImap4Read::GetSjisLine(int* length) {
    if (pendingLiteral_ <= 0 || !NextLiteralPiece()) return nullptr;
    if (length) *length = lineLength_;
    return sjisPiece_.get();
}

void SImap4Read::DrainLines() {
    while (HasUnreadBytes() && Next() != Piece::None) {
    }
}

std::string SImap4Read::LineText() const {
    int n = lineLength_;
    while (n > 0 && (lineBuf_[n - 1] == '\n' || lineBuf_[n - 1] == '\r')) --n;
    return std::string(lineBuf_, static_cast<std::size_t>(n));
}

int SImap4Read::Classify(const char* tag) {
    const char* first = nullptr;
    const char* second = nullptr;
    GetTokens(&first);
    if (!first) return kNoTokens;
    int bits = 0;
    if (jstraicmp(first, tag) == 0) bits |= kTagged;
    if (std::strcmp(first, "*") == 0) bits |= kUntagged;
    if (GetTokens(&first, &second) && jstraicmp(second, "OK") == 0) bits |= kOk;
    return bits;
}

bool SImap4Read::IsContinuation() {
    const char* first = nullptr;
    GetTokens(&first);
    return first && std::strcmp(first, "+") == 0;
}

bool SImap4Read::IsUntagged(const char* word) {
    const char* first = nullptr;
    const char* second = nullptr;
    return GetTokens(&first, &second) && std::strcmp(first, "*") == 0 && jstraicmp(second, word) == 0;
}

bool SImap4Read::IsSearchLine() { return IsUntagged("SEARCH"); }

SImap4Read::StatusKind SImap4Read::ParseStatus(SImap4Status& status) {
    const char* first = nullptr;
    const char* second = nullptr;
    const char* third = nullptr;
    if (!GetTokens(&first, &second) || std::strcmp(first, "*") != 0) return StatusKind::None;
    const std::string line = LineText();
    long long n = 0;
    if (jstraicmp(second, "FLAGS") == 0) {
        const std::size_t open = line.find('(');
        const std::size_t close = line.find(')', open == std::string::npos ? 0 : open);
        if (open == std::string::npos || close == std::string::npos) return StatusKind::None;
        status.flags = qimimap::FlagBitsOfList(line.substr(open + 1, close - open - 1));
        return StatusKind::Flags;
    }
    if (jstraicmp(second, "OK") == 0) {
        const char* text = line.c_str();
        if (const char* p = FindItem(text, "[UIDVALIDITY ")) {
            if (ParseNumber(DigitsAt(p + 13), 0xFFFFFFFFLL, &n)) {
                status.uidValidity = static_cast<std::uint32_t>(n);
                return StatusKind::UidValidity;
            }
        } else if (const char* q = FindItem(text, "[UNSEEN ")) {
            if (ParseNumber(DigitsAt(q + 8), INT_MAX, &n)) {
                status.unseen = static_cast<int>(n);
                return StatusKind::Unseen;
            }
        }
        return StatusKind::None;
    }
    if (!GetTokens(&first, &second, &third) || !ParseNumber(second, INT_MAX, &n)) return StatusKind::None;
    if (jstraicmp(third, "EXISTS") == 0) {
        status.exists = static_cast<int>(n);
        return StatusKind::Exists;
    }
    if (jstraicmp(third, "RECENT") == 0) {
        status.recent = static_cast<int>(n);
        return StatusKind::Recent;
    }
    return StatusKind::None;
}

bool SImap4Read::ParseList(std::string* delimiter, std::string* name, bool* nameInLiteral) {
    const std::string line = LineText();
    const char* p = line.c_str();
    if (std::strncmp(p, "* ", 2) != 0) return false;
    p += 2;
    while (IsSpace(*p)) ++p;
    if (strncasecmp(p, "LIST", 4) != 0 || !IsSpace(p[4])) return false;
    p += 4;
    while (IsSpace(*p)) ++p;
    // The attributes are skipped.
    if (*p != '(') return false;
    const char* close = std::strchr(p, ')');
    if (!close) return false;
    p = close + 1;
    while (IsSpace(*p)) ++p;
    std::string delim;
    if (*p == '"') {
        if (!ReadQuoted(p, delim)) return false;
    } else if (strncasecmp(p, "NIL", 3) == 0) {
        p += 3;
    } else {
        return false;
    }
    while (IsSpace(*p)) ++p;
    std::string value;
    bool literal = false;
    if (*p == '"') {
        if (!ReadQuoted(p, value)) return false;
    } else if (*p == '{' && AnnouncesLiteral()) {
        literal = true;
    } else {
        value = p;
        while (!value.empty() && IsSpace(value.back())) value.pop_back();
        if (value.empty()) return false;
    }
    if (delimiter) *delimiter = delim;
    if (name) *name = value;
    if (nameInLiteral) *nameInLiteral = literal;
    return true;
}

bool SImap4Read::ParseFetchSize(SImap4FetchRecord& record) {
    const char* first = nullptr;
    const char* second = nullptr;
    const char* third = nullptr;
    long long n = 0;
    if (!GetTokens(&first, &second, &third) || std::strcmp(first, "*") != 0 || jstraicmp(third, "FETCH") != 0 ||
        !ParseNumber(second, INT_MAX, &n))
        return false;
    record.number = static_cast<int>(n);
    const std::string line = LineText();
    const std::size_t open = line.find('(');
    if (open != std::string::npos) ParseFetchItems(line.c_str() + open + 1, record);
    if (AnnouncesLiteral()) record.literal = AnnouncedLength();
    return true;
}

void SImap4Read::ParseFetchItems(const char* text, SImap4FetchRecord& record) {
    long long n = 0;
    if (const char* p = FindItem(text, "RFC822.SIZE ")) {
        if (ParseNumber(DigitsAt(p + 12), 0xFFFFFFFFLL, &n)) record.size = static_cast<std::uint32_t>(n);
    }
    if (const char* p = FindItem(text, "FLAGS (")) {
        const char* close = std::strchr(p + 7, ')');
        if (close) record.flags = qimimap::FlagBitsOfList(std::string(p + 7, static_cast<std::size_t>(close - p - 7)));
    }
}

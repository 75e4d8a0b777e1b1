#include "common/SFindInMail.h"

#include <strings.h>

#include <cctype>

#include "common/SHeaderWords.h"
#include "common/SMailText.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/JString.h"
#include "common/JapaneseCodes.h"
#include "common/SHeaderField.h"
#include "platform/TextFile.h"

namespace {

// Read ahead from the stream: a mail of a few KB comes in one read.
constexpr int kFindBlockSize = 16 * 1024;

inline int CharLength(const char* text, int length, int pos) {
    return (IsKanji1(static_cast<unsigned char>(text[pos])) && pos + 1 < length) ? 2 : 1;
}

// The largest character boundary at or before `target` (boundaries counted from
// the start of `text`, which is one).
int BoundaryAtOrBefore(const char* text, int length, int target) {
    int pos = 0;
    while (pos < target) {
        int next = pos + CharLength(text, length, pos);
        if (next > target) break;
        pos = next;
    }
    return pos;
}

// The blank line that ends a header (a bare LF as well, like the unfolding reader).
// Whether any text of the mail travels in a form other than the stored
// Shift_JIS: an encoded transfer or a charset of its own.
// Looks at one header line of the message: only the Content- fields (and
// their continuations) tell how text travels; a multipart may hold encoded
// parts, so it counts as well.
bool NeedsDecodedSearch(const char* headerLine, bool& inContentField) {
    const char c = headerLine[0];
    if (c != ' ' && c != '\t') inContentField = strncasecmp(headerLine, "Content-", 8) == 0;
    if (!inContentField) return false;
    if (strcasestr(headerLine, "base64") || strcasestr(headerLine, "quoted-printable") ||
        strcasestr(headerLine, "multipart/"))
        return true;
    for (const char* at = strcasestr(headerLine, "charset="); at; at = strcasestr(at + 8, "charset=")) {
        const char* v = at + 8;
        if (*v == '"') ++v;
        if (strncasecmp(v, "iso-2022-jp", 11) != 0 && strncasecmp(v, "us-ascii", 8) != 0 &&
            strncasecmp(v, "shift_jis", 9) != 0)
            return true;
    }
    return false;
}

bool IsHeaderEnd(const char* line) { return std::strcmp(line, "\r\n") == 0 || std::strcmp(line, "\n") == 0; }

}  // namespace

bool MatchLinePiece(const SFindCondition& condition, const char* text, int length, bool continuation, bool cut) {
    if (!continuation && !cut) return condition.Find(text, length, 0) >= 0;
    // Only the first piece holds the start of the line.
    if (continuation && condition.Option().AtLineStart) return false;
    // A match at the first character of a continuation ended inside the piece
    // before and was tested there.
    const int from = continuation && length > 0 ? CharLength(text, length, 0) : 0;
    const int found = condition.Find(text, length, from);
    if (found < 0) return false;
    // A match that reaches the end of a cut piece is tested again in the next
    // one, where the character after it is known. Any other match comes first.
    return !cut || found + condition.PatternLength() < length;
}

// ---- SFindInMailLineBase ----

SFindInMailLineBase::SFindInMailLineBase(const SFindCondition& condition) : condition_(condition) {}

bool SFindInMailLineBase::IsMimeHeader(const char* line) const {
    const char* p = std::strchr(line, '=');
    while (p && p[1] != '?') p = std::strchr(p + 1, '=');
    if (!p) return false;
    return HasEncodedWord(p);
}

void SFindInMailLineBase::SetPiece(const char* piece, int length, bool continuation, bool cut) {
    piece_ = piece;
    pieceLength_ = length;
    continuation_ = continuation;
    cut_ = cut;
}

bool SFindInMailLineBase::Test(const char* text) {
    bool matched = text == piece_
                       ? MatchLinePiece(condition_, text, pieceLength_, continuation_, cut_)
                       : condition_.Find(text, static_cast<int>(std::strlen(text)), 0) >= 0;
    if (matched) found_ = true;
    return matched;
}

bool SFindInMailHeaderFieldLine::Action(const char* field) {
    const char* value = HeaderFieldBody(field, condition_.FieldNameWithColon());
    if (!value) return true;
    if (condition_.Option().AtLineStart) {
        while (*value == ' ' || *value == '\t') ++value;
    }
    return !Test(value);
}

// ---- SFindInMailBase ----

SFindInMailBase::SFindInMailBase() : block_(new char[kFindBlockSize]) { buffer_[0] = '\0'; }

SFindInMailBase::~SFindInMailBase() = default;

bool SFindInMailBase::FindByPath(const char* path, SFindInMailLineBase* lines) {
    error_ = 0;
    FILE* fp = platform::OpenFile(path, "rb");
    if (!fp) {
        error_ = errno ? errno : ENOENT;
        return false;
    }
    // The reading goes by whole blocks already; a stream buffer would only add
    // a copy, an allocation and a status call per file.
    std::setvbuf(fp, nullptr, _IONBF, 0);
    bool found = FindByFP(fp, lines);
    // Text that travels encoded (base64, quoted-printable, another charset)
    // is not in the file as the user typed it: its decoded text is searched.
    if (!found && error_ == 0 && encodedText_ && SearchesBody(lines)) found = FindInDecodedBody(fp, lines->Condition());
    std::fclose(fp);
    return found;
}

bool SFindInMailBase::SearchesBody(const SFindInMailLineBase* lines) const { return lines->TestsBodyLinesOnly(); }

bool SFindInMailBase::FindInDecodedBody(FILE* fp, const SFindCondition& condition) {
    if (std::fseek(fp, 0, SEEK_SET) != 0) return false;
    std::string data;
    for (std::size_t n; data.size() < kDecodedSearchLimit && (n = std::fread(block_.get(), 1, kFindBlockSize, fp)) > 0;)
        data.append(block_.get(), n);
    const std::string text = platform::Utf8ToCp932Lossy(MailTextUtf8(data));
    // The viewer's text: its header first, then the body after the empty line.
    std::size_t at = text.find("\n\n");
    at = at == std::string::npos ? text.size() : at + 2;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at) + "\r\n";
        if (MatchLinePiece(condition, line.c_str(), static_cast<int>(line.size()), false, false)) return true;
        at = end + 1;
    }
    return false;
}

bool SFindInMailBase::FindByFP(FILE* fp, SFindInMailLineBase* lines) {
    lines->Init();
    BeginReading(fp);
    const int keep = lines->Condition().PatternLength() + 1;
    const SFindPattern& pattern = lines->Condition().Prepared();
    const bool skipLines = lines->TestsBodyLinesOnly() && !pattern.HasLineEnd();
    bool stopped = false;
    while (!stopped) {
        if (skipLines && !lines->InHeader() && !cut_ && !SkipToCandidateLine(pattern)) break;
        if (!ReadPiece(lines->InHeader() ? 0 : keep)) break;
        if (lines->InHeader()) {
            const char* line = JoinHeaderLine();
            if (!line) continue;
            if (!encodedText_) encodedText_ = NeedsDecodedSearch(line, inContentField_);
            lines->ClearPiece();
            stopped = !lines->Execute(line);
        } else {
            lines->SetPiece(buffer_, pieceLength_, continuation_, cut_);
            stopped = !lines->Execute(buffer_);
        }
    }
    lines->ClearPiece();
    if (stopped) {
        lines->Abandon();
    } else {
        lines->Finish();
    }
    return lines->Found();
}

void SFindInMailBase::BeginReading(FILE* fp) {
    fp_ = fp;
    blockPos_ = blockEnd_ = 0;
    atEnd_ = false;
    pieceLength_ = 0;
    continuation_ = cut_ = false;
    lineCount_ = 0;
    error_ = 0;
    buffer_[0] = '\0';
    encodedText_ = false;
    inContentField_ = false;
}

bool SFindInMailBase::Refill() {
    if (atEnd_) return false;
    std::size_t n = std::fread(block_.get(), 1, kFindBlockSize, fp_);
    if (n < static_cast<std::size_t>(kFindBlockSize)) {
        atEnd_ = true;
        if (std::ferror(fp_)) error_ = errno ? errno : EIO;
    }
    blockPos_ = 0;
    blockEnd_ = static_cast<int>(n);
    return n > 0;
}

bool SFindInMailBase::RefillKeepingUnread() {
    if (atEnd_) return false;
    const int unread = blockEnd_ - blockPos_;
    std::memmove(block_.get(), block_.get() + blockPos_, static_cast<std::size_t>(unread));
    blockPos_ = 0;
    blockEnd_ = unread;
    const std::size_t room = static_cast<std::size_t>(kFindBlockSize - unread);
    std::size_t n = std::fread(block_.get() + unread, 1, room, fp_);
    if (n < room) {
        atEnd_ = true;
        if (std::ferror(fp_)) error_ = errno ? errno : EIO;
    }
    blockEnd_ += static_cast<int>(n);
    return n > 0;
}

bool SFindInMailBase::SkipToCandidateLine(const SFindPattern& pattern) {
    while (true) {
        const char* data = block_.get() + blockPos_;
        const int length = blockEnd_ - blockPos_;
        const int hit = pattern.SearchBytes(data, length, 0);
        if (hit >= 0) {
            const void* lf = memrchr(data, '\n', static_cast<std::size_t>(hit));
            if (lf) blockPos_ += static_cast<int>(static_cast<const char*>(lf) - data) + 1;
            return true;
        }
        if (const void* lf = length > 0 ? memrchr(data, '\n', static_cast<std::size_t>(length)) : nullptr)
            blockPos_ += static_cast<int>(static_cast<const char*>(lf) - data) + 1;
        // What is left begins a line that goes on in the stream; one that fills
        // the whole block is read in pieces.
        if (blockPos_ == 0 && blockEnd_ == kFindBlockSize) return true;
        if (!RefillKeepingUnread()) return false;
    }
}

bool SFindInMailBase::ReadPiece(int keep) {
    const bool continuation = cut_;
    int length = 0;
    if (cut_ && keep > 0) {
        keep = std::min(keep, kFindLineSize / 2);  // a piece always brings new bytes
        const int from = BoundaryAtOrBefore(buffer_, pieceLength_, pieceLength_ - keep);
        length = pieceLength_ - from;
        std::memmove(buffer_, buffer_ + from, static_cast<std::size_t>(length));
    }
    const int kept = length;
    bool lineEnd = false;
    while (length < kFindLineSize && !lineEnd) {
        if (blockPos_ == blockEnd_ && !Refill()) break;
        const char* src = block_.get() + blockPos_;
        int n = std::min(blockEnd_ - blockPos_, kFindLineSize - length);
        if (const void* lf = std::memchr(src, '\n', static_cast<std::size_t>(n))) {
            n = static_cast<int>(static_cast<const char*>(lf) - src) + 1;
            lineEnd = true;
        }
        std::memcpy(buffer_ + length, src, static_cast<std::size_t>(n));
        length += n;
        blockPos_ += n;
    }
    if (length == kept) {
        pieceLength_ = 0;
        continuation_ = cut_ = false;
        buffer_[0] = '\0';
        return false;
    }
    buffer_[length] = '\0';
    pieceLength_ = length;
    continuation_ = continuation;
    cut_ = !lineEnd && length == kFindLineSize && (blockPos_ < blockEnd_ || Refill());
    ++lineCount_;
    return true;
}

const char* SFindInMailBase::JoinHeaderLine() {
    if (!continuation_ && !cut_) return buffer_;
    if (!continuation_) headerLine_.clear();
    const std::size_t room = kFindHeaderLineMax - std::min<std::size_t>(headerLine_.size(), kFindHeaderLineMax);
    headerLine_.append(buffer_, std::min(room, static_cast<std::size_t>(pieceLength_)));
    return cut_ ? nullptr : headerLine_.c_str();
}

// ---- SFindInMailBody ----

bool SFindInMailBody::Find(const char* path, const SFindCondition& condition) {
    SFindInMailTextLine lines(condition);
    lines.Abandon();  // used for its condition only
    return FindByPath(path, &lines);
}

bool SFindInMailBody::FindByFP(FILE* fp, SFindInMailLineBase* lines) {
    BeginReading(fp);
    const SFindCondition& condition = lines->Condition();
    const int keep = condition.PatternLength() + 1;
    const SFindPattern& pattern = condition.Prepared();
    const bool skipLines = !pattern.HasLineEnd();
    bool inHeader = true;
    while (true) {
        if (skipLines && !inHeader && !cut_ && !SkipToCandidateLine(pattern)) return false;
        if (!ReadPiece(inHeader ? 0 : keep)) return false;
        if (inHeader) {
            // A piece that continues a cut line is never the blank line.
            if (!continuation_ && !cut_ && IsHeaderEnd(buffer_)) inHeader = false;
            if (!encodedText_) encodedText_ = NeedsDecodedSearch(buffer_, inContentField_);
            continue;
        }
        if (MatchLinePiece(condition, buffer_, pieceLength_, continuation_, cut_)) return true;
    }
}

// The searchers that answer one question: does this message file match a
// condition. They read the file a line at a time, unfold and decode the header
// fields, hand fields and body lines to a line object whose actions do the
// matching, and stop at the first match.
//
// Lines longer than kFindLineSize reach the body matching in pieces that
// overlap by the pattern's length and one character, so a match across a cut is
// found, and found once; the header never sees such pieces, its long lines are
// joined first (up to kFindHeaderLineMax bytes).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "common/SFindCondition.h"
#include "common/SMHUnfoldDecode.h"

// Longest piece of a line handed on at a time.
constexpr int kFindLineSize = 1024;
// Longest physical header line searched; the bytes beyond are passed over.
constexpr int kFindHeaderLineMax = 1 << 20;

// The line object a searcher feeds: the header fields go to Action, the blank
// line and the body lines to ActionBody (the three variants below differ only
// there). A match sets the found flag and stops the reading. The condition is
// not copied; it must outlive the object.
class SFindInMailLineBase : public SMHUnfoldDecodeMail {
public:
    explicit SFindInMailLineBase(const SFindCondition& condition);

    // Only fields that hold "=?" are examined for encoded words at all.
    bool IsMimeHeader(const char* line) const override;

    const SFindCondition& Condition() const { return condition_; }
    bool Found() const { return found_; }
    // Whether ActionBody does nothing but test the line, so that body lines
    // without the pattern's bytes may be passed over unseen.
    virtual bool TestsBodyLinesOnly() const { return false; }

    // Where the text next given to Execute stands in its line: a continuation
    // begins with bytes of the piece before (its first character is context
    // only), a cut piece is not the end of its line. ClearPiece: a whole line.
    void SetPiece(const char* piece, int length, bool continuation, bool cut);
    void ClearPiece() { piece_ = nullptr; }
    // The reading ended early: the last collected field is not delivered again.
    void Abandon() { finished_ = true; }

protected:
    // Whether the condition matches `text` (minding the edges when it is the
    // current piece); sets the found flag on a match.
    bool Test(const char* text);

    const SFindCondition& condition_;
    bool found_ = false;

private:
    const char* piece_ = nullptr;
    int pieceLength_ = 0;
    bool continuation_ = false;
    bool cut_ = false;
};

// Whole message: every field and every body line.
class SFindInMailTextLine : public SFindInMailLineBase {
public:
    using SFindInMailLineBase::SFindInMailLineBase;
    bool Action(const char* field) override { return !Test(field); }
    bool ActionBody(const char* line) final { return !Test(line); }
    bool TestsBodyLinesOnly() const final { return true; }
};

// Header only: every field; reading stops at the blank line.
class SFindInMailHeaderLine : public SFindInMailLineBase {
public:
    using SFindInMailLineBase::SFindInMailLineBase;
    bool Action(const char* field) override { return !Test(field); }
    bool ActionBody(const char*) override { return false; }
};

// One named field: the text after the name and its colon (name compared
// without regard to case); with AtLineStart its leading blanks are skipped.
class SFindInMailHeaderFieldLine : public SFindInMailLineBase {
public:
    using SFindInMailLineBase::SFindInMailLineBase;
    bool Action(const char* field) override;
    bool ActionBody(const char*) override { return false; }
};

// Whether a condition matches a piece of a line (see SetPiece): no match
// before the first character of a continuation, none at the start of the
// searched text there, none touching the end of a cut piece (the next piece
// holds it whole, with the character after it).
bool MatchLinePiece(const SFindCondition& condition, const char* text, int length, bool continuation, bool cut);

// The reading loop shared by the searchers, and their one buffer.
class SFindInMailBase {
public:
    SFindInMailBase();
    virtual ~SFindInMailBase();
    SFindInMailBase(const SFindInMailBase&) = delete;
    SFindInMailBase& operator=(const SFindInMailBase&) = delete;

    // Builds the line object of its variant on `condition` and calls FindByPath.
    virtual bool Find(const char* path, const SFindCondition& condition) = 0;
    // Opens the file (a Shift_JIS path) and calls FindByFP; false when it cannot
    // be opened.
    virtual bool FindByPath(const char* path, SFindInMailLineBase* lines);
    // Reads from the stream's current position to the end or the first match;
    // returns the found flag.
    virtual bool FindByFP(FILE* fp, SFindInMailLineBase* lines);

    // Pieces the last search handed to the matching (body lines passed over in
    // whole blocks are not counted).
    int LineCount() const { return lineCount_; }
    // Why the last search may have missed: the errno of a failed open or read,
    // 0 when the file was read to the end or to a match.
    int LastError() const { return error_; }

protected:
    // Whether a miss in the stored bytes is tried again on the decoded text.
    virtual bool SearchesBody(const SFindInMailLineBase* lines) const;
    // The body's decoded text (common/SMailText.h) line by line; reads from
    // the start of `fp`. Tried when the header showed text that travels
    // encoded (encodedText_).
    bool FindInDecodedBody(FILE* fp, const SFindCondition& condition);
    // Mail beyond this is searched decoded only up to it.
    static constexpr std::size_t kDecodedSearchLimit = 8u << 20;
    bool encodedText_ = false;
    bool inContentField_ = false;  // the header line read last belongs to a Content- field

    void BeginReading(FILE* fp);
    // The next piece into buffer_, NUL-terminated: a line with its line end, or
    // kFindLineSize bytes of a longer one (cut_ set when more of it follows).
    // The piece after a cut one (continuation_ set) begins with at least the
    // last `keep` bytes of it, from a character boundary; with `keep` 0 it
    // holds only new bytes. False at the end of the file or on a read error.
    bool ReadPiece(int keep);
    // A complete header line: the piece itself, or the pieces of a cut line
    // joined; null while a cut line is still being collected.
    const char* JoinHeaderLine();
    // Body lines hold no match before the first place where the pattern's
    // bytes occur (a pattern without a line end), so the lines before that
    // place need no reading into pieces: moves the read position to the start
    // of the line that holds it. False when no such place is left. Called at
    // the start of a line.
    bool SkipToCandidateLine(const SFindPattern& pattern);

    char buffer_[kFindLineSize + 1];
    int pieceLength_ = 0;
    bool continuation_ = false;
    bool cut_ = false;
    int lineCount_ = 0;
    int error_ = 0;

private:
    // Replaces the block with the next bytes of the stream.
    bool Refill();
    // Moves the unread bytes of the block to its front and fills the rest.
    bool RefillKeepingUnread();

    FILE* fp_ = nullptr;
    std::unique_ptr<char[]> block_;  // read ahead from the stream
    int blockPos_ = 0;
    int blockEnd_ = 0;
    bool atEnd_ = false;
    std::string headerLine_;
};

// The searcher over a line-object variant: whole message, header, one field.
template <class Lines>
class SFindInMailLines : public SFindInMailBase {
public:
    bool Find(const char* path, const SFindCondition& condition) override {
        Lines lines(condition);
        return FindByPath(path, &lines);
    }
};

// Body only: the header is passed over unread by the matching, and the body
// lines are searched as stored (no decoding).
class SFindInMailBody : public SFindInMailBase {
public:
    bool Find(const char* path, const SFindCondition& condition) override;
    bool FindByFP(FILE* fp, SFindInMailLineBase* lines) override;

protected:
    bool SearchesBody(const SFindInMailLineBase*) const override { return true; }
};

// What a mail search looks for: the options of a pattern (SFindOption), the
// pattern and the header field it is looked for in (SFindCondition), and where
// in a message (SFindMailCondition); and the matching of one text against them.
// Matching works on Shift_JIS text and never reports a match that starts on the
// second byte of a double-byte character.
#pragma once

#include <string>

// The stored (integer) form of the options.
constexpr int kFindOptionAtLineStart = 1;
constexpr int kFindOptionMatchCase = 4;
constexpr int kFindOptionWholeWord = 8;

// Longest pattern and field name a condition holds (bytes, without the NUL).
constexpr int kFindPatternMax = 256;
constexpr int kFindFieldNameMax = 128;

struct SFindOption {
    bool MatchCase = false;    // letter case must match
    bool WholeWord = false;    // the pattern must stand as a whole word
    bool AtLineStart = false;  // the match must begin at the start of the searched text

    // Offset of the first match of `pattern` in `text`, or -1. An empty pattern
    // matches nowhere.
    static int Find(const char* text, const char* pattern, const SFindOption& option);

    int GetAsInt() const;
    void SetByInt(int value);
    bool operator==(const SFindOption&) const = default;
    void CopyToMe(const SFindOption& other) { *this = other; }
};

// Case-sensitive search (Boyer-Moore-Horspool) that steps over double-byte
// characters: the offset of the first match in `text`, or -1 (also for an
// empty pattern).
int FindPosition(const char* text, const char* pattern);

// A pattern prepared for repeated searching: for each of its bytes the values a
// text byte may have there (both cases of a single-byte letter when case is
// ignored; the bytes of a double-byte character always compare exactly), and
// the Horspool shift table over them.
class SFindPattern {
public:
    void Set(const char* pattern, int length, bool matchCase);
    int Length() const { return static_cast<int>(exact_.size()); }
    // How far a search has stepped through the characters of its text, so that
    // successive searches of one text walk it only once.
    struct Walk {
        int next = 0;   // a character boundary
        int prev = -1;  // the boundary before it
    };
    // Offset of the first match in text[0, length) that starts on a character
    // boundary at `from` or later, or -1.
    int Search(const char* text, int length, int from) const;
    int Search(const char* text, int length, int from, Walk& walk) const;
    // The first place in text[0, length), from `from` on, where the bytes match,
    // on a character boundary or not: no match can lie before it.
    int SearchBytes(const char* text, int length, int from) const;
    // Whether the pattern holds a line end, so a match could span lines.
    bool HasLineEnd() const { return exact_.find('\n') != std::string::npos; }
    // Whether the pattern matches at `pos` (the boundary is not checked).
    bool MatchesAt(const char* text, int length, int pos) const;
    // Whether the pattern's first byte and its last character can be part of a
    // word, as the whole-word test asks.
    bool StartsWithWordChar() const { return startsWithWordChar_; }
    bool EndsWithWordChar() const { return endsWithWordChar_; }

private:
    // SearchBytes without vector instructions (the short tail of a text).
    int SearchScalar(const char* text, int length, int from) const;

    std::string exact_;  // the pattern
    std::string other_;  // the other accepted value of each byte (the same byte when there is none)
    int shift_[256] = {};
    bool startsWithWordChar_ = false;
    bool endsWithWordChar_ = false;
};

// A pattern with its options and the header field it is looked for in.
class SFindCondition {
public:
    SFindCondition();

    // Keeps at most kFindPatternMax bytes, never half a double-byte character;
    // false when the pattern had to be cut.
    bool SetPattern(const char* pattern);
    // Keeps at most kFindFieldNameMax bytes and drops one trailing ':' ("Subject:"
    // and "Subject" give the same condition); false when the name had to be cut.
    bool SetFieldName(const char* name);
    void SetOption(const SFindOption& option);

    const char* Pattern() const { return pattern_; }
    int PatternLength() const { return patternLength_; }
    const char* FieldName() const { return fieldName_; }
    int FieldNameLength() const { return fieldNameLength_; }
    // The name with its colon, the form compared against header lines.
    const char* FieldNameWithColon() const { return fieldNameColon_; }
    int FieldNameWithColonLength() const { return fieldNameLength_ + 1; }
    const SFindOption& Option() const { return option_; }
    const SFindPattern& Prepared() const { return prepared_; }

    // SFindOption::Find(text, pattern, options).
    int Find(const char* text) const;
    // The same over text[0, length) (NUL bytes inside are text), for a match
    // that starts at `from` or later; the bytes before `from` still count as
    // the text before the match for the whole-word test, and a match at the
    // start of the searched text is only possible when `from` is 0.
    int Find(const char* text, int length, int from) const;

    bool operator==(const SFindCondition& other) const;
    void CopyToMe(const SFindCondition& other);

private:
    void Prepare();

    char fieldName_[kFindFieldNameMax + 1];
    int fieldNameLength_ = 0;
    char fieldNameColon_[kFindFieldNameMax + 2];
    char pattern_[kFindPatternMax + 1];
    int patternLength_ = 0;
    SFindOption option_;
    SFindPattern prepared_;
};

// A condition with the part of the message it is looked for in.
class SFindMailCondition : public SFindCondition {
public:
    // Any other value searches the whole message.
    enum SEnumFindPartInMail {
        FindInWholeMail = 0,  // every header field (unfolded, decoded) and every body line
        FindInBody = 1,       // the body lines as stored
        FindInField = 2,      // the value of the named header field
        FindInHeader = 3,     // every header field
    };

    SEnumFindPartInMail Where() const { return where_; }
    void SetWhere(SEnumFindPartInMail where) { where_ = where; }

    bool operator==(const SFindMailCondition& other) const;
    void CopyToMe(const SFindMailCondition& other);

private:
    SEnumFindPartInMail where_ = FindInWholeMail;
};

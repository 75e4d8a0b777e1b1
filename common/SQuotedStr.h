// Taking the text between a pair of markers out of a string: between two
// marker strings (SQuotedStr), or between two single characters that may be
// escaped and nested (SQuotedEscStr; SJQuotedEscStr reads Shift_JIS a
// character at a time). Each search starts at the beginning of the text; the
// positions of the last token found (its first byte, and the closing marker)
// stay available until the next search.
#pragma once

#include <string>

class SQuotedStr {
public:
    explicit SQuotedStr(const char* text = nullptr) : text_(text ? text : "") {}

    // The text between the first `open` and the first `close` after it. The
    // markers are found case-insensitively when asked (ASCII letters only),
    // exactly otherwise; never on the second byte of a double-byte character.
    // False, with the positions cleared and `out` emptied, when either is missing.
    bool Token(std::string& out, const char* open, const char* close, bool ignoreCase);

    int Start() const { return start_; }  // -1 when there is no token
    int End() const { return end_; }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    int start_ = -1;
    int end_ = -1;
};

class SQuotedEscStr {
public:
    explicit SQuotedEscStr(const char* text = nullptr) : text_(text ? text : "") {}
    virtual ~SQuotedEscStr() = default;

    // The first unescaped `open` and the first unescaped `close` after it.
    bool Find(char open, char close, char escape);
    // The first unescaped `open` and the `close` that balances it, nested pairs
    // counted ("(a(b)c)" gives "a(b)c"). An unbalanced text gives false.
    bool FindOutSide(char open, char close, char escape);
    // Offset of whichever unescaped `a` or `b` comes first at or after `from`
    // (`*which` gets it), or -1.
    int FindFirst(unsigned from, char a, char b, char escape, char* which) const;
    // The text between the pair found by Find or FindOutSide.
    bool Token(std::string& out, char open, char close, char escape);
    bool TokenOutSide(std::string& out, char open, char close, char escape);
    // The first unescaped `c` of `text`, or null; single-byte here, by
    // characters in SJQuotedEscStr.
    const char* StrChrEsc(const char* text, char c, char escape) const;

    int Start() const { return start_; }  // offset after the opening character, -1 when none
    int End() const { return end_; }      // offset of the closing character
    const std::string& Text() const { return text_; }

protected:
    virtual bool MultiByte() const { return false; }

private:
    bool Found(const char* open, const char* close);
    bool TakeToken(std::string& out, bool found);

    std::string text_;
    int start_ = -1;
    int end_ = -1;
};

class SJQuotedEscStr : public SQuotedEscStr {
public:
    explicit SJQuotedEscStr(const char* text = nullptr) : SQuotedEscStr(text) {}

protected:
    bool MultiByte() const override { return true; }
};

// Escaping with one escape character: the backslash before a double quote in
// an IMAP4 quoted string, for example. SJEscapeString reads Shift_JIS text a
// character at a time, so the second byte of a double-byte character (0x5C in
// 表) is never taken for the escape character or a special character.
#pragma once

#include <string>

// The first `c` in `text` that is not escaped (not preceded by an odd number of
// escape characters); null when there is none. `multiByte` steps over
// double-byte characters as units. When `c` is the escape character itself the
// first `c` is found.
const char* StrChrEscape(const char* text, char c, char escape, bool multiByte);

class SEscapeString {
public:
    explicit SEscapeString(char escape = '\\') : escape_(escape) {}
    virtual ~SEscapeString() = default;

    // `in` with the escape character inserted before each of `specials`.
    virtual void MakeEscape(const std::string& in, std::string& out, const char* specials) const;
    // The first `c` that is not escaped, or null.
    virtual const char* StrChr(const char* text, char c) const;
    // `in` without its escape characters: each one is dropped and the
    // character after it kept as it is (a trailing one is dropped).
    virtual void Strip(const std::string& in, std::string& out) const;
    // Offset of the first unescaped `c` at or after `from`, or -1.
    virtual int Find(const std::string& s, char c, unsigned from) const;

    char Escape() const { return escape_; }

private:
    char escape_;
};

class SJEscapeString : public SEscapeString {
public:
    explicit SJEscapeString(char escape = '\\') : SEscapeString(escape) {}

    void MakeEscape(const std::string& in, std::string& out, const char* specials) const override;
    const char* StrChr(const char* text, char c) const override;
    void Strip(const std::string& in, std::string& out) const override;
};

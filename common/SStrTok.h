// Tokenizers over Shift_JIS text in the manner of strtok: each token is cut
// out in place by overwriting the delimiter after it with NUL. A double-byte
// character is one unit; it is a delimiter only when the delimiter set holds
// that same double-byte character.
#pragma once

#include <string>

class SStrTok {
public:
    // `text` belongs to the caller and is modified in place; it may be null.
    explicit SStrTok(char* text = nullptr) : pos_(text) {}
    virtual ~SStrTok() = default;
    SStrTok(const SStrTok&) = delete;
    SStrTok& operator=(const SStrTok&) = delete;

    // The next token, or null when only delimiters (or nothing) are left.
    char* Token(const char* delimiters);
    // As Token, but a double quote opens a stretch, up to the next double
    // quote, in which delimiters do not cut; the quotes stay in the token. An
    // unclosed quote runs to the end of the text.
    char* TokenQuote(const char* delimiters);
    // What has not been cut yet (null at the end).
    char* Rest() const { return pos_; }

protected:
    void Reset(char* text) { pos_ = text; }

private:
    char* Cut(const char* delimiters, bool quotes);

    char* pos_;
};

// A tokenizer over its own copy of a text.
class SConstStrTok : public SStrTok {
public:
    explicit SConstStrTok(const char* text = nullptr) { SetStr(text); }
    // Copies `text` (null counts as empty) and starts at its beginning.
    void SetStr(const char* text);

private:
    std::string copy_;
};

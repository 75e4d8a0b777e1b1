// Cuts a header line into stretches that stay plain and stretches that are
// encoded, so only the Japanese words of a field become encoded words.
#pragma once

#include <string>

// For unstructured fields (Subject, Comments): only blanks delimit words.
class SHeaderMimeToken {
public:
    explicit SHeaderMimeToken(const std::string& line) : rest_(line) {}
    virtual ~SHeaderMimeToken() = default;

    virtual bool IsDelimiter(unsigned char c) const;

    // Cuts the next token from the front of the rest; false when nothing is left.
    bool GetToken(std::string& token);
    // Puts a token back in front of the rest.
    void PushBack(const std::string& token);
    // Whether the token last cut is to be encoded.
    bool NeedsEncoding() const { return needsEncoding_; }
    bool Empty() const { return rest_.empty(); }

private:
    std::size_t EncodedTokenEnd(std::size_t firstDouble) const;

    std::string rest_;
    bool needsEncoding_ = false;
};

// For structured fields (addresses and the rest): RFC 822 specials delimit too.
class SHeaderMimeTokenStructured : public SHeaderMimeToken {
public:
    using SHeaderMimeToken::SHeaderMimeToken;
    bool IsDelimiter(unsigned char c) const override;
};

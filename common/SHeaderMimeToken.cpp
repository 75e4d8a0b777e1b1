#include "common/SHeaderMimeToken.h"

#include <cstring>

#include "common/JapaneseCodes.h"

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool SHeaderMimeToken::IsDelimiter(unsigned char c) const { return IsBlank(c); }

bool SHeaderMimeTokenStructured::IsDelimiter(unsigned char c) const {
    return IsBlank(c) || (c != 0 && std::strchr("()<>@,;:\\\".[]", c) != nullptr);
}

// End of an encoded token that starts at the front of the rest and whose first
// double-byte character is at `firstDouble`.
std::size_t SHeaderMimeToken::EncodedTokenEnd(std::size_t firstDouble) const {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(rest_.c_str());
    std::size_t i = firstDouble;
    while (IsKanji1(s[i]) && s[i + 1]) i += 2;
    while (s[i] && s[i] < 0x80 && !IsDelimiter(s[i])) ++i;

    // White space is carried inside the encoded word when more Japanese
    // follows, because the decoder drops blanks between adjacent encoded words.
    std::size_t k = i;
    while (IsBlank(s[k])) ++k;
    if (k == i || !s[k] || IsDelimiter(s[k])) return i;
    if (IsKanji1(s[k])) return k;
    std::size_t m = k;
    while (s[m] && s[m] < 0x80 && !IsDelimiter(s[m])) ++m;
    if (m > k && IsKanji1(s[m])) return k;
    return i;
}

bool SHeaderMimeToken::GetToken(std::string& token) {
    if (rest_.empty()) return false;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(rest_.c_str());
    std::size_t first = 0;
    while (s[first] && !IsKanji1(s[first])) ++first;
    std::size_t cut;
    if (!s[first]) {
        needsEncoding_ = false;
        cut = rest_.size();
    } else {
        std::size_t wordStart = first;
        while (wordStart > 0 && !IsDelimiter(s[wordStart - 1])) --wordStart;
        needsEncoding_ = wordStart == 0;
        cut = needsEncoding_ ? EncodedTokenEnd(first) : wordStart;
        if (cut == 0) cut = 1;  // a lone first byte at the very end still moves on
    }
    token.assign(rest_, 0, cut);
    rest_.erase(0, cut);
    return true;
}

void SHeaderMimeToken::PushBack(const std::string& token) { rest_.insert(0, token); }

// Conversion between code page 932 (Shift_JIS as Windows writes it) and Unicode.
// The only place in Qim that calls iconv. Every function reports failure; none
// truncates or drops bytes silently.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Where a conversion stopped. `ok` false means nothing useful is in the output;
// `offset` is the byte offset of the first input unit that could not be converted.
struct ConvResult {
    bool ok = true;
    std::size_t offset = 0;
    explicit operator bool() const { return ok; }
};

ConvResult Cp932ToUtf8(std::string_view cp932, std::string& utf8);
ConvResult Utf8ToCp932(std::string_view utf8, std::string& cp932);
ConvResult Cp932ToUtf16(std::string_view cp932, std::u16string& utf16);
ConvResult Utf16ToCp932(std::u16string_view utf16, std::string& cp932);

// For display only: bytes that have no Unicode form become U+FFFD, so a broken
// mail still shows the rest of its text.
std::string Cp932ToUtf8Lossy(std::string_view cp932);

// UTF-8 to code page 932 for the places that can only hold Shift_JIS (the
// header list, its cache, the search): a character without a form there
// becomes `missing` (the geta mark 〓 unless told otherwise), a broken byte too.
std::string Utf8ToCp932Lossy(std::string_view utf8, std::string_view missing = "\x81\xAC");

// Text in the charset a mail names (MIME charset names, any case: UTF-8,
// EUC-JP, Shift_JIS, ISO-8859-n, windows-125x, GB2312, GBK, Big5, EUC-KR, ...)
// to UTF-8. Fails for a charset iconv does not know and for bytes that are not
// text in it; the caller then guesses.
ConvResult CharsetToUtf8(std::string_view charset, std::string_view bytes, std::string& utf8);

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

}  // namespace platform

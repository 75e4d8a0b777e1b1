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

}  // namespace platform

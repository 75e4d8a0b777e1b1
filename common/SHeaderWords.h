// Header text as a reader sees it: RFC 2047 encoded words of any charset (B and
// Q forms) decoded, adjacent words run together (also a multibyte character
// split between two of them), base64 without its "=" padding accepted; raw
// 8-bit text read as UTF-8 when it is that (RFC 6532), else as the Shift_JIS
// (or JIS) the store keeps.
#pragma once

#include <string>
#include <string_view>

std::string DecodeHeaderUtf8(std::string_view raw);
// The same for the places that hold Shift_JIS: what has no form there is 〓.
std::string DecodeHeaderSjis(std::string_view raw);

// Whether `raw` holds at least one well-formed encoded word.
bool HasEncodedWord(std::string_view raw);

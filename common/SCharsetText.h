// Text of any charset a mail names, to the two forms Qim works with: UTF-8
// for the screen (nothing lost) and Shift_JIS for the header list, its cache
// and the search (a character without a Shift_JIS form becomes 〓).
//
// ISO-2022-JP goes through the program's own JIS conversion, so the CP932
// extensions sent under that label (①, ㈱, 髙) survive; text that Qim stored
// itself (JIS turned into Shift_JIS as it arrived) reads back under the same
// label. A charset that is unknown, or lies, falls back to a guess: UTF-8 when
// the bytes are valid UTF-8, else Shift_JIS when they are valid CP932, else
// ISO-8859-1 (as windows-1252).
#pragma once

#include <string>
#include <string_view>

std::string TextToUtf8(std::string_view charset, std::string_view bytes);
std::string TextToSjis(std::string_view charset, std::string_view bytes);

// Whether the label names ISO-2022-JP (any of its variants).
bool IsJisCharset(std::string_view charset);

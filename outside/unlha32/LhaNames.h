// Names as the library's callers hold them (Shift_JIS, '\' or '/' between
// folders) and as they are on disk (UTF-8), and the wildcards of the
// command line.
#pragma once

#include <string>

namespace lha {

// Shift_JIS to the UTF-8 name on disk; false when the bytes are no Shift_JIS.
bool SjisToNative(const std::string& sjis, std::string& native);
// A name read from disk to Shift_JIS; false when it has no such form.
bool NativeToSjis(const std::string& native, std::string& sjis);
// '\' between folders made '/', never inside a double-byte character.
std::string ForwardSlashes(const std::string& sjis);
// Whether `name` matches `pattern`: '*' any run, '?' one character (a
// double-byte character counts as one), everything else exactly.
bool WildMatch(const char* pattern, const char* name);

}  // namespace lha

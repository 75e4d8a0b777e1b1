// Small helpers over lines and byte buffers: reading a line of any length with
// a bound on what is kept, a padded copy, and the integer test of mail-file
// names.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {
class TextFile;
}

// Reads one line (up to and including its LF) into `out`, in pieces of
// `size` - 1 bytes through `buffer`, keeping at most `maxLength` bytes; the rest
// of a longer line is read and dropped. Returns the bytes kept, 0 at the end of
// the file, -1 for a null stream or a buffer of fewer than 2 bytes.
int FGetString(FILE* fp, char* buffer, int size, std::string& out, int maxLength);
// The same with a buffer of `bufferLength` + 1 bytes of its own; -1 when it
// cannot be had.
int FGetString(FILE* fp, std::string& out, int maxLength, int bufferLength);
// Both again on a text-mode stream, where CR LF reads as LF.
int FGetString(platform::TextFile& file, char* buffer, int size, std::string& out, int maxLength);
int FGetString(platform::TextFile& file, std::string& out, int maxLength, int bufferLength);

// Copies `src` with its NUL, at most `count` bytes, then fills the rest of the
// `count` bytes with `fill` ("abc", 6, '*' gives a b c NUL * *).
char* MemStrCpy(char* dest, const char* src, int count, char fill);

// Optional blanks and tabs, an optional sign, then nothing but digits (none at
// all is accepted, as the folder numbering has always taken it).
bool IsIntStr(const char* s);

// 0-15 for a hexadecimal digit (either case), -1 for anything else.
int HexDigitValue(char c);
// The line of `text` that starts at `at`, without its LF or CR LF; `next` is
// where the line after it starts (the end when there is none).
std::string_view LineAt(std::string_view text, std::size_t at, std::size_t& next);

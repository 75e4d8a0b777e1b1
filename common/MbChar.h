// Stepping through Shift_JIS text one character at a time, and exact searches
// that never match on the second byte of a double-byte character (the 0x5C in
// 表 is not a backslash, the 0x7C in ポ is not a bar).
#pragma once

#include <cstddef>

#include "common/JapaneseCodes.h"

// Length in bytes of the character at `p`: 2 for a first byte followed by a
// second one, 1 otherwise (also for a lone first byte at the end), 0 at the NUL.
inline std::size_t MbCharLen(const char* p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (!c) return 0;
    return (IsKanji1(c) && p[1]) ? 2 : 1;
}

// The same for a byte range: never reads at or past `end`.
inline std::size_t MbCharLen(const char* p, const char* end) {
    return (IsKanji1(static_cast<unsigned char>(*p)) && p + 1 < end) ? 2 : 1;
}

// First occurrence of the single-byte character `c` as a character of its own;
// null when there is none (or `c` is NUL).
const char* jstrchr(const char* text, char c);
// Last occurrence, likewise.
const char* jstrrchr(const char* text, char c);
// First occurrence of `pattern` starting on a character boundary, compared
// exactly; `text` itself for an empty pattern.
const char* jstrstr(const char* text, const char* pattern);
// Whether the character at `p` (of length `len`) is one of the characters of
// `set`; a double-byte character matches only the same double-byte character.
bool MbCharInSet(const char* p, std::size_t len, const char* set);

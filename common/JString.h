// Case-insensitive comparison and search over Shift_JIS text that never splits
// a double-byte character: only ASCII letters are folded, and no match ever
// starts on the second byte of a double-byte character.
#pragma once

// Multi-byte aware case-insensitive comparison; 0 when equal, else the sign
// of the first difference (characters compared as their code values).
int jstraicmp(const char* a, const char* b);
// The same over at most `n` bytes.
int jstrnaicmp(const char* a, const char* b, int n);

// Case-insensitive substring search; pointer to the match or null.
const char* stristr(const char* text, const char* pattern);
char* stristr(char* text, const char* pattern);

// Like stristr (folding only when `ignoreCase`), but a match counts only as a
// whole word; the first match that passes both word tests is returned.
const char* StrStrAsWord(const char* text, const char* word, bool ignoreCase);

// Whether a separator must be inserted before a name is appended to `path`:
// false for an empty path and for one that already ends in '/'.
bool IsNeedMergeYen(const char* path);

// Pointer to the last character of `s` (the first byte of a double-byte
// character), or null for an empty string.
const char* LastChar(const char* s);

// Shift_JIS byte classes and the converters between Shift_JIS (inside Qim) and
// ISO-2022-JP (on the wire). The converters make one pass over caller buffers
// and never allocate.
#pragma once

// First byte of a double-byte character: 0x81-0x9F, 0xE0-0xFC.
inline bool IsKanji1(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// A byte that can follow a first byte: 0x40-0x7E, 0x80-0xFC.
inline bool IsKanji2(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
// Printable ASCII.
inline bool IsUSAscii(unsigned char c) { return c >= 0x20 && c <= 0x7E; }
// Linear white space.
inline bool IsLWSP(unsigned char c) { return c == ' ' || c == '\t'; }
// Letters and '_' (digits are not word characters for whole-word search).
inline bool IsPartOfWord(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
// Half-width katakana, 0xA1-0xDF.
inline bool IsHankakuKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// Whether the byte at `pos` is the second byte of a double-byte character.
bool IsKanji2(const char* s, int pos);
// Every byte below 0x80 and printable or tab, CR, LF; an empty string is ASCII.
bool IsUSAscii(const unsigned char* s);

// The character set in force in ISO-2022-JP text, carried from one piece of a
// text to the next by those who convert it piecewise.
enum class JisMode { Ascii, Kanji, Katakana };

// ISO-2022-JP -> Shift_JIS. Returns the bytes written (NUL not counted, always
// written). The output is never longer than the input, so `dest` may be `src`.
int Jis2Sjis(char* dest, const unsigned char* src);
// The same over `length` bytes in which a NUL is a byte like any other (mail
// from a server may hold one). Writes a NUL after the result.
int Jis2SjisBytes(char* dest, const unsigned char* src, int length);
// The same, starting in `mode` and leaving there the mode at the end.
int Jis2SjisBytes(char* dest, const unsigned char* src, int length, JisMode& mode);
// Shift_JIS -> ISO-2022-JP. `dest` needs LengthAsJis(src) + 1 bytes.
int Sjis2Jis(char* dest, const unsigned char* src);
// The same over `length` bytes, a NUL among them copied like any other byte
// below 0x80; `dest` needs 4 * length + 4 bytes (or the exact count,
// LengthAsJis of the same bytes, + 1). Writes a NUL after the result.
int Sjis2JisBytes(char* dest, const unsigned char* src, int length);
// Exactly the count Sjis2Jis returns for the same text.
int LengthAsJis(const unsigned char* sjis);

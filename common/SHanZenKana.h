// Half-width katakana (JIS X 0201, 0xA1-0xDF) to full-width and back.
// ISO-2022-JP mail cannot carry half-width katakana, so text is widened before
// it is encoded. A full-width character is held as an unsigned whose low byte is
// the first Shift_JIS byte (the two bytes in text order in memory).
#pragma once

#include <string>

class SHanZenKana {
public:
    // One half-width byte `c` with the byte after it. 0: `c` is not half-width
    // katakana; 3: `next` is the voicing mark and the voiced form was found (both
    // bytes consumed); 2: the same for the semi-voicing mark; 1: plain form, one
    // byte consumed. A letter without a voiced form is converted alone, and its
    // mark then converts on its own (ｱﾞ -> ア゛).
    int Han2Zen(char c, char next, unsigned* zen) const;
    // Copies `src` into `dest` (at most size-1 bytes plus NUL) widening every
    // half-width katakana. Null when not everything fit; the output is then cut
    // at a character boundary.
    char* Han2Zen(const char* src, char* dest, int size) const;
    bool Han2Zen(const std::string& src, std::string& dest) const;

    bool DoesExistHankaku(const char* s) const;
    // Also the offset of the first half-width byte (-1 as unsigned when none) and
    // the offset just past the first run of them (strlen when none).
    bool DoesExistHankaku(const char* s, unsigned* first, unsigned* end) const;

    // The reverse: 3 with mark 0xDE for a voiced form, 2 with mark 0xDF for a
    // semi-voiced form, 1 with mark 0 for a plain letter, 0 when `zen` has no
    // half-width form.
    int Zen2Han(unsigned zen, char* letterOut, char* mark) const;

    // Table lookups; 0 when there is no such form.
    unsigned Sei2Daku(char han) const;
    char Daku2Sei(unsigned zen) const;
    unsigned Sei2Handaku(char han) const;
    char Handaku2Sei(unsigned zen) const;
    unsigned Sei2Sei(char han) const;
    char Sei2Sei(unsigned zen) const;
};

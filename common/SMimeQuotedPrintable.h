// The quoted-printable codec (RFC 2045). Decoding goes line by line: a line
// ending in "=" joins the next one, any other line end is a hard line break
// (CR LF in the output). The byte-level decoder is virtual so that the header Q
// form can replace it.
#pragma once

#include <cstddef>
#include <string>

#include "common/SMime.h"

class SMimeQuotedPrintable : public SMime {
public:
    // Longest encoded line, the "=" of a soft line break included.
    static constexpr int kMaxLineLength = 76;

    // Characters (NUL not counted) that Encode may write for `length` bytes:
    // every byte escaped, plus a soft line break for each line.
    static constexpr std::size_t EncodedLengthMax(std::size_t length) {
        return 3 * length + 2 * (3 * length / (kMaxLineLength - 3) + 1);
    }

    // DecodeBinary, NUL-terminated. `dest` needs strlen(src) + 1 bytes.
    unsigned char* Decode(const unsigned char* src, unsigned char* dest) override;
    // Quoted-printable of a text whose lines end in LF: the LFs stay hard line
    // breaks, long lines get soft breaks ("=" LF). `dest` needs
    // EncodedLengthMax(strlen(src)) + 1 bytes.
    unsigned char* Encode(const unsigned char* src, unsigned char* dest) override;
    // Blank lines are kept whatever `skipEmptyLines` says: in quoted-printable
    // text they are lines of the text. A write failure stops at once.
    bool DecodeFileBody(FILE* in, int outHandle, long endOffset, bool skipEmptyLines) override;
    // Raw bytes to lines of the text stream: CR LF in the input is a hard line
    // break, every other control byte (a lone CR or LF included) is escaped, so
    // decoding gives back the bytes exactly. Output that does not end in a hard
    // break ends in a soft one, so the file always ends with a line end.
    bool EncodeFileBody(int inHandle, FILE* out) override;

    // "=" and two hex digits (either case; any other character counts as 0) give
    // one byte; an "=" with fewer than two characters after it ends the decoding;
    // every other byte is copied. Returns the number of bytes written.
    virtual int DecodeBinary(const unsigned char* src, unsigned char* dest);
};

// The base64 codec (RFC 2045) for bodies, attachments and the payload of header
// encoded words: lines of 72 characters when encoding a file, and a decoder that
// takes each line as groups of four characters, padding only at its end.
#pragma once

#include "common/SMime.h"

class SMimeBase64 : public SMime {
public:
    // Raw bytes encoded at a time by EncodeFileBody (ten lines), and per line.
    static constexpr int kEncodeChunk = 540;
    static constexpr int kBytesPerLine = 54;
    static constexpr int kCharsPerLine = 72;

    // Characters (NUL not counted) that EncodeBinary / EncodeToLines write for
    // `length` bytes, and the most bytes DecodeBinary writes for a text of
    // `length` characters.
    static constexpr int EncodedLength(int length) { return (length + 2) / 3 * 4; }
    static constexpr int EncodedLinesLength(int length) {
        return EncodedLength(length) + (length + kBytesPerLine - 1) / kBytesPerLine;
    }
    static constexpr int DecodedLengthMax(int length) { return length / 4 * 3; }

    // EncodeBinary of strlen(src) bytes; `dest` needs EncodedLength + 1 bytes.
    unsigned char* Encode(const unsigned char* src, unsigned char* dest) override;
    // DecodeBinary without line ends, NUL-terminated; null when the text is not
    // valid base64. `dest` needs DecodedLengthMax(strlen(src)) + 1 bytes.
    unsigned char* Decode(const unsigned char* src, unsigned char* dest) override;
    // Each line is decoded on its own. An undecodable line gives no output,
    // sets kMimeErrorData and makes the result false, but decoding goes on with
    // the next line; a write failure stops at once.
    bool DecodeFileBody(FILE* in, int outHandle, long endOffset, bool skipEmptyLines) override;
    // Lines of 72 characters, each ending CR LF in the file.
    bool EncodeFileBody(int inHandle, FILE* out) override;

    // Base64 of `length` bytes with "=" padding and no line breaks,
    // NUL-terminated. Returns the number of characters, or -1.
    static int EncodeBinary(const unsigned char* data, char* dest, int length);
    // As EncodeBinary with an LF after every 54 bytes (72 characters) and after a
    // last shorter piece.
    static int EncodeToLines(const unsigned char* data, char* dest, int length);
    // Decodes groups of four characters; "=" is accepted only as padding that
    // runs to the end of the text. With `ignoreLineEnds`, CR and LF anywhere are
    // passed over. Returns the number of bytes, or -1 when anything was wrong (the
    // decodable groups are still written).
    static int DecodeBinary(const char* src, unsigned char* dest, bool ignoreLineEnds);

    // Three bytes to four 6-bit values, and back.
    static void EncodeBit(const unsigned char* bytes, unsigned char* sixBits);
    static void DecodeBit(const unsigned char* sixBits, unsigned char* bytes);
    // 'A'-'Z', 'a'-'z', '0'-'9', '+', '/'.
    static bool IsBase64Char(char c);
    // Whether `group` (four characters) holds only "=" from `position` to its end
    // and the text ends right after it.
    static bool IsPad(const char* group, int position);
};

// The codec of unencoded bodies (7bit, 8bit, binary): text is copied, and line
// ends are made CR LF.
#pragma once

#include "common/SMime.h"

class SMimeNoEncoded : public SMime {
public:
    // Copy the text with its NUL; `dest` needs strlen(src) + 1 bytes.
    unsigned char* Decode(const unsigned char* src, unsigned char* dest) override;
    unsigned char* Encode(const unsigned char* src, unsigned char* dest) override;
    // Copies every line, NUL bytes included, turning a final LF into CR LF; blank
    // lines are kept whatever `skipEmptyLines` says.
    bool DecodeFileBody(FILE* in, int outHandle, long endOffset, bool skipEmptyLines) override;
    // Copies the bytes into the text stream; CR LF and a lone LF both reach the
    // file as CR LF, so a file with CR LF lines is copied unchanged.
    bool EncodeFileBody(int inHandle, FILE* out) override;
};

#include "common/SHeaderMimeQuotedPrintable.h"

namespace {

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

int SHeaderMimeQuotedPrintable::DecodeBinary(const unsigned char* src, unsigned char* dest) {
    unsigned char* out = dest;
    while (*src) {
        if (*src == '=') {
            if (!src[1] || !src[2]) break;  // a cut escape ends the text
            *out++ = static_cast<unsigned char>((HexDigit(src[1]) << 4) | HexDigit(src[2]));
            src += 3;
        } else {
            *out++ = *src == '_' ? ' ' : *src;
            ++src;
        }
    }
    return static_cast<int>(out - dest);
}

// The Q form of encoded words: "=XX" is a byte, "_" a space.
#pragma once

#include "common/SMimeQuotedPrintable.h"

class SHeaderMimeQuotedPrintable : public SMimeQuotedPrintable {
public:
    int DecodeBinary(const unsigned char* src, unsigned char* dest) override;
};

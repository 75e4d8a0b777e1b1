// One leaf part of a message as a byte range of the message file, ready to be
// decoded with SMime::DecodeFilePart.
#pragma once

#include "common/SMimePart.h"

struct SDecodeBand {
    long start = 0;  // first byte of the part body
    long end = 0;    // first byte after the body
    SMimePart part;

    bool operator==(const SDecodeBand&) const = default;
};

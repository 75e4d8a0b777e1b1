// The description of one MIME part of a message: its name and the numeric codes
// of its transfer encoding, type, subtype and character set. A plain record,
// copied by value. The header texts and the analysis that fills it live with the
// message analysis.
#pragma once

#include <string>

// Content-Transfer-Encoding of a part.
enum SMimeEncoding : int {
    kMimeEncodingNone = 0,  // 7bit, 8bit, binary or absent
    kMimeEncodingBase64 = 1,
    kMimeEncodingQuotedPrintable = 2,
    kMimeEncodingOther = 3,
};

struct SMimePart {
    std::string name;  // file name from a name parameter, or the part's description (Shift_JIS)
    int encoding = kMimeEncodingNone;
    int type = 0;
    int subtype = 0;
    int charset = 0;

    bool operator==(const SMimePart&) const = default;
};

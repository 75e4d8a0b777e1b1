#include "common/SAnalizeMimeMail.h"

bool SAnalizeMimeMail::AnalizeMimeMail(const char* path, std::vector<SDecodeBand>* bands) {
    bands_ = bands;
    if (bands_) bands_->clear();
    bool ok = DecodeMimeMail(path);
    bands_ = nullptr;
    return ok;
}

bool SAnalizeMimeMail::Append(long start, long end, const SMimePart& part) {
    if (bands_) bands_->push_back({start, end, part});
    return true;
}

bool SAnalizeMimeMail::ActionBase64(FILE*, long start, long end, const SMimePart& part) {
    return Append(start, end, part);
}

bool SAnalizeMimeMail::ActionQuotedPrintable(FILE*, long start, long end, const SMimePart& part) {
    return Append(start, end, part);
}

bool SAnalizeMimeMail::ActionOtherEncoded(FILE*, long start, long end, const SMimePart& part) {
    return Append(start, end, part);
}

bool SAnalizeMimeMail::ActionNoEncoded(FILE*, long start, long end, const SMimePart& part) {
    return Append(start, end, part);
}

// Lists the leaf parts of a stored message, in file order, as byte ranges of
// the file with their descriptions.
#pragma once

#include <vector>

#include "common/SDecodeBand.h"
#include "common/SMimeMail.h"

class SAnalizeMimeMail : public SMimeMail {
public:
    explicit SAnalizeMimeMail(platform::ParentWindow owner = nullptr) : SMimeMail(owner) {}

    // Empties `bands` and fills it with every leaf part of the message at
    // `path`. False when the walk failed; the parts found until then stay listed.
    bool AnalizeMimeMail(const char* path, std::vector<SDecodeBand>* bands);

    bool ActionBase64(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionQuotedPrintable(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionOtherEncoded(FILE* file, long start, long end, const SMimePart& part) override;
    bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) override;

private:
    bool Append(long start, long end, const SMimePart& part);

    std::vector<SDecodeBand>* bands_ = nullptr;
};

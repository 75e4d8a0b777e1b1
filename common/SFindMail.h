// The search of one message file as the client asks it: a searcher chosen once
// for the part of the message to look in, then asked about file after file.
#pragma once

#include <memory>

#include "common/SFindCondition.h"
#include "common/SFindInMail.h"

class SFindMail {
public:
    SFindMail();
    ~SFindMail();
    SFindMail(const SFindMail&) = delete;
    SFindMail& operator=(const SFindMail&) = delete;

    // Replaces the searcher with the one for `where`; false when memory ran out
    // (there is no searcher then).
    bool NewFindInMail(SFindMailCondition::SEnumFindPartInMail where);
    // Whether the file (a Shift_JIS path) matches; false when there is no
    // searcher or the file cannot be read.
    bool Find(const char* path, const SFindCondition& condition);
    // The errno of the last Find that could not open or read its file, else 0.
    int LastError() const;

private:
    std::unique_ptr<SFindInMailBase> finder_;
};

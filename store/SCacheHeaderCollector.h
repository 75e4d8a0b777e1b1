// Collects, from the lines of one mail header, the four texts a record of the
// header cache keeps: To, From and Subject unfolded and decoded, and the Date
// as its date key. The local cache reads mail files through it; the server
// folders' cache feeds it the header lines a fetch brings.
#pragma once

#include <string>
#include <vector>

#include "common/SMHUnfoldDecode.h"
#include "store/SQimMailData.h"

class SCacheHeaderCollector : public SMHUnfoldDecode {
public:
    SCacheHeaderCollector();
    ~SCacheHeaderCollector() override;

    // Starts afresh, so one collector can serve many mails.
    void Init() override;
    bool Execute(const char* line) override;
    bool Action(const char* field) override;
    // Delivers the last field and makes the date key: Data() is complete then.
    bool Finish() override;

    const SHeaderData& Data() const { return data_; }

private:
    SHeaderData data_;
    std::string date_;  // the Date value as the header gives it
    std::vector<char> decoded_;  // the field being decoded, kept for the next
};

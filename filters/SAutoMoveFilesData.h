// One sorting rule: which header item of a mail is searched for a text with
// which options, and the folder the mails that match go to. A rule set is an
// array of them in order; the first rule that takes a mail moves it.
#pragma once

#include <string>

#include "common/SFindCondition.h"

// The header item a rule searches.
constexpr int kSortHeaderFrom = 0;
constexpr int kSortHeaderSubject = 1;
constexpr int kSortHeaderTo = 2;
constexpr int kSortHeaderField = 3;  // the field the rule names

// Longest text, destination and field name a rule set stores (bytes): they
// are read back with buffers one byte larger.
constexpr int kSortValueMax = 99;

struct SAutoMoveFilesData {
    int headerType = kSortHeaderSubject;
    std::string pattern;
    std::string destination;  // as the user wrote it (see ResolveSortDestination)
    std::string fieldName;    // for kSortHeaderField only
    // A new rule: at the start, letter case counts, not whole words.
    SFindOption option{true, false, true};

    // Whether a store and a load give the rule back: the texts it needs are
    // 1 to kSortValueMax bytes without a line break.
    bool FitsStoredForm() const;
    bool operator==(const SAutoMoveFilesData&) const = default;
};

// The folder a destination names, against the home directory: empty is the
// home directory, "./x" (or ".\x" as older files write it) and any other
// relative name lie below it, an absolute path stays as it is.
std::string ResolveSortDestination(const std::string& home, const std::string& destination);

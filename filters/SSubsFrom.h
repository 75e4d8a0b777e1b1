// The From substitution: rules that replace what the header list shows as a
// mail's sender. Each rule is a pattern looked for in the From text with its
// search options and the text shown instead; the first rule that matches
// wins. The rules live in the section "SubsFrom" of ALIAS.INI.
#pragma once

#include <string>
#include <vector>

#include "common/SFindCondition.h"

// Longest pattern and replacement as stored (bytes); they are read with
// buffers one byte larger.
constexpr int kSubsFromValueMax = 127;
// The options of a rule without a stored "Opt%d": MatchCase alone.
constexpr int kSubsFromDefaultOpt = kFindOptionMatchCase;

struct SSubsFrom {
    std::string from;  // the pattern
    std::string subs;  // the text shown instead
    SFindOption opt;

    // Whether both texts are 1 to kSubsFromValueMax bytes without a line
    // break, so that a load gives the rule back.
    bool FitsStoredForm() const;
    bool operator==(const SSubsFrom&) const = default;
};

class SSubsFromArray : public std::vector<SSubsFrom> {
public:
    // Reads the rules. False when there are none ("Num" below 1), or when a
    // rule's pattern or replacement is missing or empty: loading stops there
    // and the rules read before stay in force.
    bool Load();
    // Writes every rule, "Num", then removes the keys of the rules beyond the
    // new count. A failed write makes the result false; the rest still runs.
    bool Save() const;
    // The replacement of the first rule whose pattern is found in `from`;
    // `from` itself when none matches.
    std::string Substitute(const std::string& from) const;
};

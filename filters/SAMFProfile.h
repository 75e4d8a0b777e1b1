// A stored rule set: the rules of one section of a settings file, read and
// written key by key ("Num", then per rule "HeaderType%d", "PosType%d",
// "In%d", "Dest%d" and, for a named field, "HFName%d").
#pragma once

#include <string>
#include <vector>

#include "common/SpProfile.h"
#include "filters/SAutoMoveFilesData.h"

// The two rule sets of the local folders and the two of the server folders.
enum class SSortRuleSet { Local1, Local2, Server1, Server2 };

// The section a rule set lives in, in QIM.INI: the application's name
// ("Qim", or "QimP" for the server folders) followed by "MoveFiles" or
// "MoveFiles2".
std::string AutoSortSection(SSortRuleSet set);

// "PosType%d" keeps the options with the bits of AtLineStart and MatchCase
// inverted: 1 = anywhere, 4 = case ignored, 8 = whole words.
int PosTypeOfOption(const SFindOption& option);
SFindOption OptionOfPosType(int posType);

class SAMFProfile {
public:
    SAMFProfile(const std::string& section, const std::string& file);
    // The rule set in QIM.INI.
    explicit SAMFProfile(SSortRuleSet set);

    // Reads the rules into `rules`. False when there are none ("Num" below 1)
    // or a rule is incomplete: reading stops there, and the rules read
    // before stay.
    bool Load();
    // Writes every rule, "Num", then deletes the keys of the indices from the
    // new count up to the stored one. A failed write stops the rules; "Num"
    // and the deletions are still tried; the result is then false.
    bool Save() const;

    const SpProfile& Profile() const { return profile_; }

    std::vector<SAutoMoveFilesData> rules;

private:
    SpProfile profile_;
};

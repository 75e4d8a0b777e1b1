// The walk of the operations over the header list's selection: from the last
// position towards the first, one mail at a time or in runs of consecutive
// numbers. A run starts at the next selected mail and takes in the selected
// mails above it while each one's number is one more than the one before, so
// a list showing 9, 5, 4, 3 from the top gives 3:5, then 9:9; in ascending
// order every mail is a run of its own. A mail whose number cannot be read
// ends the walk.
#pragma once

class SQimPMailSelection;

class SQimPSelectionWalk {
public:
    // The walk begins below the last position.
    void Start(const SQimPMailSelection& selection);
    // The next selected mail: its position and number. False at the end.
    bool NextMail(int& position, int& number);
    // The next run; `last` >= `first`. False at the end.
    bool NextRun(int& first, int& last);
    // Whether anything is selected.
    static bool AnySelected(const SQimPMailSelection& selection);

private:
    // The position of the next selected item above `below`, -1 when none.
    int SelectedAbove(int below) const;

    const SQimPMailSelection* selection_ = nullptr;
    int cursor_ = 0;  // positions from here on are behind the walk
    bool ended_ = true;
};

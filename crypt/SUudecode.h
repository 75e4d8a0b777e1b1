// The viewer's "&Uudecode" command: finds the uuencoded blocks of a stored
// mail ("begin" with a three-digit mode and a name, data lines, "end") and
// writes each into a file the user picks in a save dialog.
#pragma once

#include <string>

#include "platform/DialogService.h"

class SUudecode {
public:
    enum class Result {
        Done,          // every block found was saved or skipped by the user
        CannotOpen,    // the mail or an output file cannot be opened
        NoBegin,       // no "begin" line in the mail
        BadData,       // a data line with a character outside 32-96, or too short
        NoEnd,         // no "end" after the data
        WriteFailed,   // writing an output file failed
    };

    // `initialDir`: where the save dialog opens.
    SUudecode(platform::ParentWindow owner, std::string initialDir);

    // Decodes the blocks of `mailPath` and shows the outcome's box (the count
    // of saved files when all went well and at least one was saved). An output
    // file that could not be finished is removed again.
    Result Run(const char* mailPath);
    // Files written by the last Run.
    int Saved() const { return saved_; }

    // A "begin" line: the word "begin", a mode of exactly three decimal digits
    // and a name (up to a blank, tab, CR or LF); false for any other line.
    static bool ParseBegin(const char* line, std::string& name);
    // One data line into `out`: false when a character lies outside 32-96 or
    // the line is shorter than its count says. `count` receives the byte count.
    static bool DecodeLine(const char* line, std::string& out, int& count);

private:
    Result DecodeBlock(FILE* in, const std::string& target);
    void Report(Result result) const;

    platform::ParentWindow owner_;
    std::string initialDir_;
    int saved_ = 0;
};

// A SEARCH of the selected mailbox: the command for a search condition, and
// the collecting of the message numbers the server answers with. The pattern
// goes as a string argument (escaped, or a literal when it holds a line end),
// in ISO-2022-JP with CHARSET when it is not plain ASCII. The result is the
// numbers separated by single spaces; it stops growing before it would reach
// kSearchResultLimit characters, and never holds part of a number.
#pragma once

#include <string>

#include "common/SFindCondition.h"
#include "imap/SImap4Command.h"

class SImap4Search {
public:
    static SImap4Command CommandFor(const SFindMailCondition& condition);

    // Collecting into `result` (cleared; may be null: nothing is kept).
    void Begin(std::string* result);
    // A piece of a "* SEARCH" line: its first piece (`lineStart`) or a later
    // one of a cut line; `cut` tells that the line goes on in the next piece.
    void AddPiece(const char* text, int length, bool lineStart, bool cut);

private:
    void EndNumber();

    std::string* result_ = nullptr;
    std::string number_;   // digits of a number a piece's end may have split
    bool bad_ = false;     // the token under way is no number
    bool full_ = false;
};

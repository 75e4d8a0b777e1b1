// The account's password for the subcommands that talk to a server: the one
// saved in QIM.INI, else $QIM_PASSWORD, else typed at the terminal (asked only
// when the server conversation needs it).
#pragma once

#include <string>

class SUserInetData;

namespace qimtool {

// Takes $QIM_PASSWORD when the settings hold no password. False (with the
// text in `error`) when it has no Shift_JIS form.
bool TakePasswordFromEnvironment(SUserInetData& inet, std::string& error);
// Reads a password from the terminal without echo; false when there is none.
bool PromptPassword(std::string& sjis);

}  // namespace qimtool

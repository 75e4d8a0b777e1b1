// The home directory of the subcommands that work on one: --home, else
// $QIMHOME; its QIM.INI is the one inside.
#pragma once

#include "tools/ToolCommand.h"

namespace qimtool {

// Sets the process-wide home and settings file; false (with the exit status
// in `status`) when neither is given, the name has no Shift_JIS form or the
// folder is missing.
bool SetHome(const ParsedArgs& parsed, const Command& command, int& status);

}  // namespace qimtool

// What the subcommands that make a message share with compose: the home
// directory of --home or $QIMHOME, typed options in Shift_JIS, and the
// message file made as the compose window makes it.
#pragma once

#include <string>

#include "send/SAttachmentList.h"
#include "send/SComposeEditor.h"
#include "send/SEMailHeader.h"
#include "tools/ToolCommand.h"

namespace qimtool {

// The home directory: --home, else $QIMHOME; QIM.INI is the one in it. False
// with `status` set (usage error or failure, already told on stderr).
bool SetHome(const ParsedArgs& parsed, const Command& command, int& status);
// Shift_JIS text shown on the terminal.
std::string Utf8Of(const std::string& sjis);
// Every value of `option`, converted and joined by ", "; false (told) when
// one has no Shift_JIS form.
bool Typed(const ParsedArgs& parsed, const char* option, std::string& sjis);
// The message file of a compose: the maker's own, or (plain text without
// MIME) the header text, the empty line and the editor lines.
bool MakeMessage(SEMailMimeHeader& header, SComposeText& editor, SAttachmentList& attachments, bool mime,
                 std::string& message);

}  // namespace qimtool

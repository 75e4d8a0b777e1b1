// What the subcommands that make a message share with compose: typed
// options in Shift_JIS and the message file made as the compose window makes
// it (the home directory is tools/HomeOption.h's).
#pragma once

#include <string>

#include "send/SAttachmentList.h"
#include "send/SComposeEditor.h"
#include "send/SEMailHeader.h"
#include "tools/HomeOption.h"
#include "tools/ToolCommand.h"

namespace qimtool {

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

// What the compose window does to the text before and for a send: the checks
// that let the user correct it (empty body, half-width katakana, characters
// only some machines have, over-long lines) and the long-line fold commands.
// Questions go through the platform's dialog service.
#pragma once

#include <string>

#include "platform/DialogService.h"
#include "send/SComposeEditor.h"

// A double-byte Shift_JIS character whose JIS row lies outside the standard
// rows (0x21-0x28 and 0x30-0x74): NEC and IBM extensions, user-defined areas.
bool IsPlatformDependentChar(unsigned char lead, unsigned char trail);
// The first run of such characters at or after byte `from`: [start, end).
bool FindPlatformDependentRun(const std::string& line, int from, int& start, int& end);

// The checks in their order; false (after qimstr::SendAborted "中止します。") when the
// user chose to stop. A Yes to the half-width question widens the run in the
// editor.
bool CheckBeforeSend(SComposeEditor& editor, platform::ParentWindow owner);

// Fold commands: qimcmd::FoldLongLines breaks every paragraph longer than `width` bytes at
// once; qimcmd::FoldLongLinesAsking asks about each cut (qimstr::CutHereQuestion). A cut
// never splits a double-byte character and never puts a closing mark at a line start.
enum class SFoldMode { AtOnce, Ask };
void FoldLongLines(SComposeEditor& editor, int width, SFoldMode mode, platform::ParentWindow owner);
// Where FoldLongLines cuts `line` for `width`: a byte offset, or -1 when the
// line is not cut.
int FoldPosition(const std::string& line, int width);

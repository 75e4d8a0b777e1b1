// The text of a notice (the program's or the library's string table, filled
// with its values) and the box that shows it, for the windows and qimtool.
#pragma once

#include <string>
#include <vector>

#include "common/SNotice.h"

std::string NoticeText(const SNotice& notice);
// The socket error box of the conversations: the operation ("Unable to
// connect"), the description of the error code and the code.
SNotice SocketErrorNotice(const char* operation, int code);
// A box with the program's caption and the notice's icon.
void ShowNotice(const SNotice& notice, platform::ParentWindow parent = nullptr);
void ShowNotices(const std::vector<SNotice>& notices, platform::ParentWindow parent = nullptr);

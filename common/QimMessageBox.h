// A message box of the system: the caption is always the application name.
#pragma once

#include "platform/DialogService.h"

platform::MessageAnswer QimMessageBox(platform::ParentWindow parent, const char* text, platform::MessageIcon icon,
                                      platform::MessageButtons buttons = platform::MessageButtons::Ok,
                                      int defaultButton = 0);

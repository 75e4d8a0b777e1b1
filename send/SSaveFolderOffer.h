// A sent-mail or draft folder that is not there is offered to be made, when it
// is chosen and again when a mail is to be saved in it: a setting that names a
// missing folder would otherwise make every later save fail.
#pragma once

#include <string>

#include "config/SQimSendSettingData.h"
#include "platform/DialogService.h"

// True when `property` saves nowhere, its folder is there, or the user had it
// made (every missing level of it); false when the user declined (No) or the
// folder could not be made (then reported). The server-folder mode's folders
// are not looked at: they lie below a folder only that mode knows.
bool EnsureSaveFolder(const SSaveMailFolderProperty& property, platform::ParentWindow owner);

// Makes `path` and every missing folder above it; true when it is a folder then.
bool MakeFolderPath(const std::string& path);

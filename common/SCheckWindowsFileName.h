// Names the user types for folders and files: the characters that Windows file
// systems refuse are refused here too, so a folder tree stays portable; and the
// Save As dialog of the common library.
#pragma once

#include "common/FilePath.h"
#include "platform/DialogService.h"

class SCheckWindowsFileName {
public:
    // \ / : , ; * ? " < > |
    static const char* BadChars();
    // Whether `name` holds one of them as a character of its own (the 0x5C in
    // 表 is no backslash).
    static bool DoesContainBadChars(const char* name);
    // Stop-icon box: "不正な名前です。次の文字は使えません。", a line break and the
    // characters. `caption` null: the application name.
    static void ErrorMessage(platform::ParentWindow parent, const char* caption = nullptr);
};

// Save As dialog for all files, read-only box hidden, asking before it
// overwrites; `path` is the proposed name and receives the chosen path. False
// when cancelled, and when the chosen path does not fit the `size` bytes of
// `path` (which then stays as it was).
bool GetSetSaveFileName(platform::ParentWindow parent, char* path, const char* initialDir, int size = kMaxPath);

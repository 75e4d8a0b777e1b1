// File names are Shift_JIS inside Qim and UTF-8 on disk, so a folder named 仕事
// reads as 仕事 in any Linux file manager.
#pragma once

#include <string>

namespace platform {

// Shift_JIS path -> the UTF-8 name to hand to the operating system.
// False when the bytes are not valid Shift_JIS.
bool ToNativePath(const char* sjisPath, std::string& native);

// A name read from disk -> Shift_JIS. False when the name has no Shift_JIS form;
// listings skip such names.
bool FromNativePath(const char* nativePath, std::string& sjis);

}  // namespace platform

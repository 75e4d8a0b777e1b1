// The address text an entry's value stands for: the value itself; for
// "\\x" the text "\x" (the send's own address-list reference); for "\file"
// the items of the list file "file" in the home directory joined by ", ".
#pragma once

#include <string>

// The list file named by a value "\name" (backslashes separate folders);
// false when the name is empty or would lead outside the home directory (an
// absolute name or a ".." component).
bool AliasListFilePath(const std::string& value, const std::string& home, std::string& path);

// The expansion of `value`; false (with `out` empty) when the list file is
// missing, is no plain file, lies outside the home directory, or holds more
// than qimaddr::kListItemMax items.
bool ExpandAliasAddress(const std::string& value, std::string& out);
// The same, empty on failure.
std::string ExpandAddress(const std::string& value);

// Listing a folder (find first / find next): every entry but "." and "..",
// with its Shift_JIS name and kind. A name on disk without a Shift_JIS form is
// left out, as every listing of the program leaves it out.
#pragma once

#include <string>
#include <vector>

namespace platform {

enum class EntryKind { File, Directory, Other };

struct DirectoryEntry {
    std::string name;  // Shift_JIS
    EntryKind kind = EntryKind::Other;
    bool symlink = false;  // the kind is that of the link's target
};

// False (with errno) when the folder cannot be read; `entries` then holds
// what was read before the failure. The order is the file system's.
bool ListDirectory(const char* sjisDir, std::vector<DirectoryEntry>& entries);
// The same, only the entries that may be folders: regular files (a mail
// folder holds thousands) are passed over before their names are converted.
bool ListSubfolders(const char* sjisDir, std::vector<DirectoryEntry>& entries);

}  // namespace platform

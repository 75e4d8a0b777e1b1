// The address folders: their list in display order, kept in the section
// "Address Folders" of ALIAS.INI. Element 0 is always the special folder
// "よく使うアドレス" (id 0), which the file does not hold.
#pragma once

#include <string>
#include <vector>

#include "address/AddressCodes.h"

struct SAddressFolder {
    int id = 0;
    std::string name;          // Shift_JIS; a save refuses more than kFolderNameMax bytes
    unsigned short flags = 0;  // qimaddr::kNonMenu, qimaddr::kDeleted

    bool IsNonMenu() const { return (flags & qimaddr::kNonMenu) != 0; }
    bool IsDeleted() const { return (flags & qimaddr::kDeleted) != 0; }
};

class SAddressFolderList : public std::vector<SAddressFolder> {
public:
    // Starts with the special folder alone.
    SAddressFolderList();

    // Reads the list. A missing section gives the special folder alone. A
    // missing or unreadable "F%d" value, a second folder with the same id or a
    // folder claiming id 0 stops the load with false; the folders before it stay.
    bool Load();
    // Writes every folder, "Num", then removes the keys of folders beyond the
    // new count. A name too long to store fails the save before anything is
    // written; so does a name with a line break.
    bool Save() const;

    int FindById(int id) const;
    // Exact byte comparison; -1 when absent.
    int FindByName(const std::string& name, bool ignoreDeleted = false) const;
    // Appends a folder under the next free id; returns the id (-1 when none is free).
    int NewFolder(const std::string& name, unsigned short flags = 0);
    // The smallest id >= 0 no folder has; -1 when every id is taken.
    int NextFreeId() const;
};

// Parses one stored value "id bit name"; false when it is not of that form.
bool ParseFolderValue(const char* value, SAddressFolder& folder);

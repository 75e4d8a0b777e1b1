// The commands of the folder tree on local folders, as operations a window
// calls: new, rename and remove folder, and the check of a typed folder name.
// Questions and messages go through the dialog service.
#pragma once

#include <string>

#include "platform/DialogService.h"
#include "store/SStoreDialogs.h"

class SFolderCommands {
public:
    explicit SFolderCommands(platform::DialogService& dialogs, platform::ParentWindow parent = nullptr);

    // qimcmd::NewFolder: asks for a name and makes it below `parent`. Returns the new
    // folder's path, empty when nothing was made.
    std::string NewFolder(const std::string& parent);
    // The same with the name already typed.
    std::string NewFolderNamed(const std::string& parent, const std::string& name);
    // qimcmd::RenameFolder: the folder `path` takes `newName` (one name, in the same parent).
    // Returns the new path, empty when the old name stays.
    std::string RenameFolder(const std::string& path, const std::string& newName);
    // qimcmd::DeleteFolder: asks, then removes the subfolder `name` of `parent`; true when it went.
    bool RemoveFolder(const std::string& parent, const std::string& name);

    // A name the user typed for a folder: one name of the folder it goes in,
    // without characters that file names refuse. Shows the bad-character
    // message when it is not.
    bool CheckFolderName(const std::string& name);
    // "12" is, "012", "0" and "-3" are not: such a folder's name looks like a
    // mail number.
    static bool IsCanonicalNumber(const std::string& name);

private:
    SStoreDialogs dialogs_;
};

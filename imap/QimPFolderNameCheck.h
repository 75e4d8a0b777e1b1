// The check of a server folder name typed into a dialog's field: a name that
// names no listed folder is questioned, and the user chooses between typing
// again and keeping it.
#pragma once

#include <string>
#include <vector>

#include "platform/DialogService.h"

class SQimPFolderList;

struct SQimPFolderNameVerdict {
    bool accept = true;    // the dialog may take the name
    bool refocus = false;  // put the focus back into the field, all its text selected
};

namespace qimimap {

// Whether `typed` (relative to "_QimP": "A\B", ".", ".\A"; backslashes or
// slashes) names one of `listed` or a folder above one of them. The list
// keeps only the deepest paths, so a folder with subfolders appears only
// inside longer paths.
bool NamesListedFolder(const std::vector<std::string>& listed, const std::string& typed);

}  // namespace qimimap

// Without a folder list (missing, empty or unreadable) every name is taken.
// Otherwise a name that names no listed folder asks the common library's
// strings 1804 and 1805 (Yes / No): Yes refuses the name and refocuses the
// field, No keeps it.
SQimPFolderNameVerdict CheckServerFolderName(const SQimPFolderList& list, const std::string& typed,
                                             platform::DialogService& dialogs,
                                             platform::ParentWindow parent = nullptr);

// What the main window keeps of its folders between runs (QIM.INI): the folder
// shown last and the header-list sort of each folder. Folders are stored
// relative to the home directory, so a home that moves keeps them.
#pragma once

#include <string>

// The folder shown last as a full path below `home`; empty when none is stored
// or it is no longer a folder.
std::string ReadLastFolder(const std::string& home);
bool WriteLastFolder(const std::string& home, const std::string& folder);

// The sort of `folder` (a full path below `home`): false when none is stored
// (the folder then takes the default sort). A stored direction 0 means the
// folder was left unsorted on purpose.
bool ReadFolderSort(const std::string& home, const std::string& folder, int& column, int& direction);
bool WriteFolderSort(const std::string& home, const std::string& folder, int column, int direction);

// `folder` relative to `home`: "." for home itself, empty when it is not below it.
std::string RelativeFolder(const std::string& home, const std::string& folder);

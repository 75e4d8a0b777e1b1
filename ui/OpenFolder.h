// A folder of the home directory in the desktop's file manager.
#pragma once

#include <string>

class QWidget;

// False, after telling the user, when the desktop could not open it.
bool OpenInFileManager(const std::string& folder, QWidget* parent);

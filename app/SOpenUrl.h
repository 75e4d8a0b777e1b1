// A link opened in the web browser of the settings ("WebBrowser"), else in
// the desktop's own browser.
#pragma once

#include <string>

#include "platform/DialogService.h"

// False, after a box that tells why, when no browser could be started.
bool OpenUrlInBrowser(const std::string& url, platform::ParentWindow parent);

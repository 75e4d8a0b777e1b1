// The help of the program: its HTML manual, shown in the web browser. The
// manual lies beside the program (bin/../share/qim/manual, in the build folder
// and in an installed program alike), else in the data folder Qim was built for.
#pragma once

#include <string>

#include "platform/DialogService.h"

// The manual's folder (UTF-8, no trailing slash); empty when there is none.
std::string QimManualFolder();

// The page of the manual about `command` for the context help: its item in
// the list of menu commands ("menus.html#c413").
std::string QimHelpPageOf(int command);

// The manual's `page` ("index.html", "compose.html", "menus.html#c413") as a
// file: URL, through the application's request that opens URLs in the browser.
// Without a manual the user is told so (qimstr::HelpNotFound). False when
// nothing was opened.
bool OpenQimHelp(const std::string& page, platform::ParentWindow parent);

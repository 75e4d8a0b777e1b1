// The menus as data: the main frame's common menu, its local-mode and
// server-folder-mode menus, and the compose window's menu. The status-bar hint
// of an item is the string of its command number (QimStrings.h).
#pragma once

#include <string>
#include <vector>

// One item. `path` names the pop-up it lies in, pop-up names joined by "/";
// `text` carries its "&" mark and, after a tab, its shortcut text. An item
// with id 0 and no text is a separator; an item with an id and no text is a
// separator that can be found by its id.
struct SMenuItem {
    int id;
    std::string path;  // Shift_JIS
    std::string text;  // Shift_JIS
};

using SMenuTable = std::vector<SMenuItem>;

const SMenuTable& CommonMenuTable();
const SMenuTable& LocalModeMenuTable();
// The local-mode menu without qimcmd::KeepMailOnServer, UseApop, ExtractPgpKey and DesktopNotice, with the items of the server
// folders at the end of their pop-ups.
const SMenuTable& ServerModeMenuTable();
const SMenuTable& ComposeMenuTable();

// The main frame's menu bar: the common menu followed by the mode menu.
SMenuTable MainFrameMenuTable(bool serverMode);

// The compose window's items that exist only while PGP is in use.
const std::vector<int>& ComposePgpCommands();

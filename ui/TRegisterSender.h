// Registering the sender of a mail in the address book, and the header
// list's pop-up menu that offers it.
#pragma once

#include <string>

class QAbstractItemView;
class QWidget;
class SCommandTable;

// The add dialog pre-filled from the From field `from` (decoded, Shift_JIS);
// on OK the entry is appended to folder 0 and saved. True when registered.
bool RegisterSender(QWidget* parent, const std::string& from);

// The pop-up menu of the header list: "住所録に登録" runs
// qimcmd::RegisterSender of `commands` for the mail under the mouse.
void AttachHeaderListMenu(QAbstractItemView* list, const SCommandTable& commands);

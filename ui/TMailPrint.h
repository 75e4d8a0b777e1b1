// Printing and saving from the windows: the mail of the main windows (425
// "印刷", 406 "名前を付けて保存") and the text of the compose window (24337,
// 24334). The page is the one of print/MailPrintLayout.h; the printer comes
// from the print dialog (a printer of the system, or a PDF file).
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "print/SPrintedMail.h"

class QPrinter;
class QWidget;
class TMailViewPane;

// Stands in for the print dialog (tests): sets the printer up (a PDF file,
// say) and says whether to print. Empty: the print dialog.
using SPrinterChooser = std::function<bool(QPrinter& printer)>;
void SetPrinterChooser(SPrinterChooser chooser);

// The mail at `path` as the viewer shows it; the viewer's own prepared text
// (PGP and the program's encryption undone) when it shows that mail. False
// when the file cannot be read.
bool ShownMailOf(const TMailViewPane* viewer, const std::string& path, SPrintedMail& mail);

// The print dialog, then the pages; false when cancelled, or when printing
// failed (after a box saying so). `fontKey` names the display font whose
// face is used unless "印刷は固定ﾌｫﾝﾄにする" is on.
bool PrintThroughDialog(QWidget* parent, const SPrintedMail& mail, const char* fontKey);

// qimcmd::Print: the mail at `path` (the shown one, else the current row's).
bool PrintMail(QWidget* parent, const TMailViewPane* viewer, const std::string& path);
// qimcmd::SaveMailAs: a file dialog offering the text as shown (UTF-8) or the
// stored mail file byte for byte (*.eml). False when cancelled or failed.
bool SaveMailAs(QWidget* parent, const TMailViewPane* viewer, const std::string& path);
// The compose window's text (its fields as typed, then the body) as a text file.
bool SaveTextAs(QWidget* parent, const SPrintedMail& text);

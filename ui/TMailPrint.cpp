#include "ui/TMailPrint.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "common/QimMessageBox.h"
#include "common/SFont.h"
#include "common/SMailText.h"
#include "config/QimGlobals.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "platform/AtomicFile.h"
#include "platform/DialogService.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"
#include "print/MailPrintLayout.h"
#include "ui/TMailViewPane.h"

namespace {

SPrinterChooser& Chooser() {
    static SPrinterChooser chooser;
    return chooser;
}

void ShowError(QWidget* parent, unsigned id) {
    QimMessageBox(parent, LoadQimString(id).c_str(), platform::MessageIcon::Stop);
}

// A file name made of the subject, for the proposed name of a save or a PDF.
QString NameOfSubject(const QString& subject) {
    QString name = subject.simplified();
    for (QChar& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    name.truncate(60);
    return name.isEmpty() ? QStringLiteral("mail") : name;
}

SPrintStyle StyleOf(const char* fontKey) {
    SPrintStyle style;
    style.fixedFont = GetSettingData().fixedPrintFont;
    SFont font;
    if (fontKey && ReadQimFont(fontKey, font)) {
        const LOGFONT& lf = font.logFont;
        style.family = platform::ToQString(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    }
    return style;
}

bool ReadWholeFile(const std::string& sjisPath, std::string& data) {
    FILE* fp = platform::OpenFile(sjisPath.c_str(), "rb");
    if (!fp) return false;
    char block[1 << 16];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, fp)) > 0;) data.append(block, n);
    const bool ok = !std::ferror(fp);
    std::fclose(fp);
    return ok;
}

// A save dialog with `filterId`'s choices; the chosen path (Shift_JIS), empty when cancelled.
std::string AskSavePath(QWidget* parent, unsigned filterId, const QString& proposed) {
    platform::FileDialogRequest request;
    request.parent = parent;
    request.kind = platform::FileDialogKind::Save;
    request.filter = LoadQimString(filterId);
    request.defaultExtension = "txt";
    request.overwritePrompt = true;
    platform::FromQString(proposed, request.fileName);
    std::vector<std::string> paths;
    if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return std::string();
    return paths.front();
}

// The text for the desktop's editors: UTF-8 with LF ends, unlike the
// program's own files (Shift_JIS, CR LF), so that a character the mail had
// outside Shift_JIS survives and any Linux editor opens it as it is.
bool WriteText(QWidget* parent, const std::string& path, const QString& text) {
    if (platform::ReplaceFileContents(path.c_str(), text.toStdString(), 0644)) return true;
    ShowError(parent, qimstr::FileWriteFailed);
    return false;
}

bool EndsWithEml(const std::string& path) {
    return path.size() > 4 && QString::fromLatin1(path.substr(path.size() - 4).c_str()).compare(".eml", Qt::CaseInsensitive) == 0;
}

}  // namespace

void SetPrinterChooser(SPrinterChooser chooser) { Chooser() = std::move(chooser); }

bool ShownMailOf(const TMailViewPane* viewer, const std::string& path, SPrintedMail& mail) {
    const bool shown = viewer && !path.empty() && viewer->ShownPath() == path;
    const std::string text = shown && !viewer->Data().TextPath().empty() ? viewer->Data().TextPath() : path;
    SMailView view;
    // The attached files get their line: the paper has no row of them.
    if (text.empty() || !MailFileViewUtf8(text.c_str(), view, TMailViewPane::kDisplayLimit, true)) return false;
    mail = PrintedMailOf(view, shown && viewer->ShowsAllHeaders());
    return true;
}

bool PrintThroughDialog(QWidget* parent, const SPrintedMail& mail, const char* fontKey) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(mail.subject.isEmpty() ? QStringLiteral("Qim") : mail.subject);
    printer.setPageSize(QPageSize(QPageSize::A4));
    // Without a printer on the system the dialog starts on the PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(NameOfSubject(mail.subject) + ".pdf"));
    if (Chooser()) {
        if (!Chooser()(printer)) return false;
    } else {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    if (PrintMailPages(printer, mail, StyleOf(fontKey)) > 0) return true;
    ShowError(parent, qimstr::PrintFailed);
    return false;
}

bool PrintMail(QWidget* parent, const TMailViewPane* viewer, const std::string& path) {
    SPrintedMail mail;
    if (!ShownMailOf(viewer, path, mail)) {
        ShowError(parent, qimstr::CannotOpenFile);
        return false;
    }
    return PrintThroughDialog(parent, mail, qimini::MVDefFont);
}

bool SaveMailAs(QWidget* parent, const TMailViewPane* viewer, const std::string& path) {
    SPrintedMail mail;
    if (!ShownMailOf(viewer, path, mail)) {
        ShowError(parent, qimstr::CannotOpenFile);
        return false;
    }
    const std::string target = AskSavePath(parent, qimstr::SaveMailAsFilter, NameOfSubject(mail.subject) + ".txt");
    if (target.empty()) return false;
    if (!EndsWithEml(target)) return WriteText(parent, target, mail.Text());
    // The mail file as it is stored, for another mail program to read.
    std::string stored;
    if (!ReadWholeFile(path, stored)) {
        ShowError(parent, qimstr::CannotOpenFile);
        return false;
    }
    if (platform::ReplaceFileContents(target.c_str(), stored, 0644)) return true;
    ShowError(parent, qimstr::FileWriteFailed);
    return false;
}

bool SaveTextAs(QWidget* parent, const SPrintedMail& text) {
    const std::string target = AskSavePath(parent, qimstr::SaveTextAsFilter, NameOfSubject(text.subject) + ".txt");
    return !target.empty() && WriteText(parent, target, text.Text());
}

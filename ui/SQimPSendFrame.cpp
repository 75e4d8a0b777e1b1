#include "ui/SQimPSendFrame.h"

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "imap/SQimTmpFolderPath.h"
#include "platform/FileSystem.h"
#include "send/SSaveMailFile.h"
#include "ui/SQimPWindow.h"
#include "ui/TComposeEdit.h"

SQimPSendFrame::SQimPSendFrame(SQimPWindow& qimp, SUserInetData& inet, SQimSendSettingData& settings,
                               SLoginConfirmation& login, bool pgpInUse, QWidget* parent)
    : TQimSendWindow(inet, settings, login, pgpInUse, parent), qimp_(qimp) {}

namespace {

// The kind of a property whose folder lies on the server (the home-relative
// bit wins, as the folder's full path takes it).
bool OnServer(const SSaveMailFolderProperty& property) {
    return (property.kind & kSaveQimPRelative) && !(property.kind & kSaveHomeRelative);
}

}  // namespace

bool SQimPSendFrame::ServerFolderOf(const SSaveMailFolderProperty& property, std::string& folder) {
    if (!OnServer(property)) return false;
    // The name as typed: below "_QimP", with either separator, "_QimP" itself allowed.
    std::string name = property.folder;
    for (char& c : name)
        if (c == '/') c = '\\';
    while (!name.empty() && name.front() == '\\') name.erase(0, 1);
    const std::string root = qimimap::kQimPRoot;
    const std::string path = name.empty() || name == "." ? root
                             : qimimap::IsQimPFolder(name) ? name
                                                           : root + "\\" + name;
    std::vector<std::string> components;
    if (!qimimap::QimPComponents(path, components)) return false;
    folder = qimimap::QimPPathOf(components);
    return true;
}

bool SQimPSendFrame::AppendToServer(const std::string& folder, SSaveMailFile& writer) {
    // Written as a mail of a folder of its own, then handed over: the
    // server-folder window appends its own copy, so this one may go at once.
    SQimTmpFolderPath aside(platform::TempDirectory().c_str());
    writer.onStored = nullptr;
    if (!aside.Path()[0] || !writer.Save(aside.Path())) return false;
    QWidget* owner = window();
    const bool taken = qimp_.AppendMailFile(writer.SavedPath(), folder, [](bool ok) {
        // The compose window may have closed meanwhile: the main window tells.
        if (!ok) QimMessageBox(nullptr, LoadQimString(qimstr::CannotSaveMail).c_str(), platform::MessageIcon::Stop);
    });
    if (!taken) QimMessageBox(owner, LoadQimString(qimstr::CannotSaveMail).c_str(), platform::MessageIcon::Stop);
    return taken;
}

bool SQimPSendFrame::StoreSentCopyIn(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer) {
    std::string folder;
    if (!OnServer(fcc)) return TQimSendWindow::StoreSentCopyIn(fcc, writer);
    if (!ServerFolderOf(fcc, folder)) {
        QimMessageBox(this, LoadQimString(qimstr::CannotSaveMail).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    return AppendToServer(folder, writer);
}

bool SQimPSendFrame::SaveDraftIn(const SSaveMailFolderProperty& draft, SSaveMailFile& writer) {
    std::string folder;
    if (!OnServer(draft)) return TQimSendWindow::SaveDraftIn(draft, writer);
    if (!ServerFolderOf(draft, folder)) {
        QimMessageBox(this, LoadQimString(qimstr::CannotSaveMail).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    if (!AppendToServer(folder, writer)) return false;
    editor->document()->setModified(false);
    return true;
}

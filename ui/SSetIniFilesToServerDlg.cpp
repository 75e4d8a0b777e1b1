#include "ui/SSetIniFilesToServerDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/IniFilesPlace.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

using namespace qimimap;

namespace {

constexpr int kShownBits = kIniFetchAtStart | kIniPutAtExit | kIniWithKeyFile | kIniDeleteAtExit | kIniWithMainFile;

QCheckBox* Box(unsigned textId, int place, int bit, QWidget* parent) {
    auto* box = new QCheckBox(platform::ToQString(LoadQimString(textId)), parent);
    box->setChecked((place & bit) != 0);
    return box;
}

}  // namespace

SSetIniFilesToServerDlg::SSetIniFilesToServerDlg(QWidget* parent, int place) : QDialog(parent), original_(place) {
    setObjectName("QimSetIniFilesToServerDlg");
    setWindowTitle(platform::ToQString(LoadQimString(qimstr::IniFilesPlaceCaption)));
    fetchAtStart = Box(qimstr::IniFetchAtStartCheck, place, kIniFetchAtStart, this);
    putAtExit = Box(qimstr::IniPutAtExitCheck, place, kIniPutAtExit, this);
    withKeyFile = Box(qimstr::IniWithKeyFileCheck, place, kIniWithKeyFile, this);
    deleteAtExit = Box(qimstr::IniDeleteAtExitCheck, place, kIniDeleteAtExit, this);
    withMainFile = Box(qimstr::IniWithMainFileCheck, place, kIniWithMainFile, this);
    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : {fetchAtStart, putAtExit, withKeyFile, deleteAtExit, withMainFile}) layout->addWidget(box);
    layout->addWidget(OkCancel(this));
}

int SSetIniFilesToServerDlg::Place() const {
    int place = original_ & ~kShownBits;
    if (fetchAtStart->isChecked()) place |= kIniFetchAtStart;
    if (putAtExit->isChecked()) place |= kIniPutAtExit;
    if (withKeyFile->isChecked()) place |= kIniWithKeyFile;
    if (deleteAtExit->isChecked()) place |= kIniDeleteAtExit;
    if (withMainFile->isChecked()) place |= kIniWithMainFile;
    return place;
}

void SSetIniFilesToServerDlg::accept() {
    if (deleteAtExit->isChecked()) {
        std::string warning = LoadQimString(qimstr::IniDeleteAtExitWarning);
        warning.append("\n").append(LoadQimString(qimstr::IniDeleteAnyway));
        QimMessageBox(this, warning.c_str(), platform::MessageIcon::Exclamation);
    }
    QDialog::accept();
}

bool EditIniFilesPlace(QWidget* parent, int& place) {
    SSetIniFilesToServerDlg dialog(parent, place);
    if (dialog.exec() != QDialog::Accepted) return false;
    place = dialog.Place();
    return true;
}

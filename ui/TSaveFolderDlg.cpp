#include "ui/TSaveFolderDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/QimPFolderNameCheck.h"
#include "imap/SQimPFolderList.h"
#include "platform/qt/QtText.h"
#include "send/SSaveFolderOffer.h"

using platform::ToQString;

TSaveFolderDlg::TSaveFolderDlg(QWidget* parent, const SSaveMailFolderProperty& property, bool draft,
                               bool serverFolders)
    : QDialog(parent), property_(property) {
    setWindowTitle(ToQString(LoadQimString(draft ? qimstr::DraftDialogCaption : qimstr::SentMailDialogCaption)));
    auto* form = new QFormLayout(this);
    saveCheck = new QCheckBox(ToQString(LoadQimString(qimstr::SaveFolderCheck)), this);
    saveCheck->setChecked(property.kind != kSaveNone);
    form->addRow(saveCheck);
    folderEdit = new QLineEdit(ToQString(property.folder), this);
    form->addRow(ToQString(LoadQimString(qimstr::SaveFolderLabel)), folderEdit);
    if (serverFolders) {
        serverCheck = new QCheckBox(ToQString(LoadQimString(qimstr::SaveFolderOnServer)), this);
        serverCheck->setChecked((property.kind & kSaveQimPRelative) != 0);
        form->addRow(serverCheck);
    }
    showToCheck = new QCheckBox(ToQString(LoadQimString(qimstr::SaveFolderShowTo)), this);
    showToCheck->setChecked(property.showTo);
    showToSubCheck = new QCheckBox(ToQString(LoadQimString(qimstr::SaveFolderShowToSub)), this);
    showToSubCheck->setChecked(property.showToSub);
    noInquiryCheck = new QCheckBox(ToQString(LoadQimString(qimstr::SaveFolderNoInquiry)), this);
    noInquiryCheck->setChecked(property.noInquiry);
    form->addRow(showToCheck);
    form->addRow(showToSubCheck);
    form->addRow(noInquiryCheck);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void TSaveFolderDlg::accept() {
    if (serverCheck && serverCheck->isChecked() && saveCheck->isChecked()) {
        // A server folder the folder list does not know is questioned.
        const SQimPFolderList list;
        std::string typed;
        platform::FromQString(folderEdit->text(), typed);
        const SQimPFolderNameVerdict verdict = CheckServerFolderName(list, typed, platform::Dialogs(), this);
        if (!verdict.accept) {
            if (verdict.refocus) {
                folderEdit->setFocus();
                folderEdit->selectAll();
            }
            return;
        }
        QDialog::accept();
        return;
    }
    // A folder that is not there is made now or the dialog stays for another name.
    if (!EnsureSaveFolder(Result(), this)) return;
    QDialog::accept();
}

SSaveMailFolderProperty TSaveFolderDlg::Result() const {
    SSaveMailFolderProperty p = property_;
    // A folder typed here is the home directory's; another kind read from the
    // settings stays as it was while saving stays on.
    if (!saveCheck->isChecked()) p.kind = kSaveNone;
    else if (serverCheck) p.kind = serverCheck->isChecked() ? kSaveQimPRelative : kSaveHomeRelative;
    else if (p.kind == kSaveNone) p.kind = kSaveHomeRelative;
    std::string folder;
    platform::FromQString(folderEdit->text(), folder);
    p.folder = folder;
    p.showTo = showToCheck->isChecked();
    p.showToSub = showToSubCheck->isChecked();
    p.noInquiry = noInquiryCheck->isChecked();
    return p;
}

bool EditSaveFolderSettings(QWidget* parent, SQimSendSettingData& settings, bool draft, bool serverFolders) {
    SSaveMailFolderProperty& property = draft ? settings.draft : settings.sentMail;
    TSaveFolderDlg dialog(parent, property, draft, serverFolders);
    if (dialog.exec() != QDialog::Accepted) return false;
    property = dialog.Result();
    settings.Write();
    return true;
}

#include "ui/SSetWarnSizeAFolderDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/SQimPSettingData.h"
#include "platform/qt/QtText.h"

using platform::ToQString;

SSetWarnSizeAFolderDlg::SSetWarnSizeAFolderDlg(QWidget* parent, const SQimPSettingData& settings) : QDialog(parent) {
    setWindowTitle(ToQString(LoadQimString(qimstr::WarnSizeCaption)));
    auto* layout = new QVBoxLayout(this);
    none = new QRadioButton(ToQString(LoadQimString(qimstr::WarnSizeNone)), this);
    server = new QRadioButton(ToQString(LoadQimString(qimstr::WarnSizeServer)), this);
    local = new QRadioButton(ToQString(LoadQimString(qimstr::WarnSizeLocal)), this);
    both = new QRadioButton(ToQString(LoadQimString(qimstr::WarnSizeBoth)), this);
    for (QRadioButton* b : {none, server, local, both}) layout->addWidget(b);
    switch (settings.warnSizeFolders) {
    case qimimap::kWarnServerFolders: server->setChecked(true); break;
    case qimimap::kWarnLocalFolders: local->setChecked(true); break;
    case qimimap::kWarnNoFolder: none->setChecked(true); break;
    default: both->setChecked(true); break;  // 4, and 3 as the check reads it
    }
    auto* form = new QFormLayout;
    limit = new QLineEdit(QString::number(settings.warnSizeKB), this);
    limit->setValidator(new QIntValidator(1, 0x7fffffff / 1024, limit));
    form->addRow(ToQString(LoadQimString(qimstr::WarnSizeLimitLabel)), limit);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void SSetWarnSizeAFolderDlg::accept() {
    if (!limit->hasAcceptableInput()) {
        limit->setFocus();
        limit->selectAll();
        return;
    }
    QDialog::accept();
}

void SSetWarnSizeAFolderDlg::Collect(SQimPSettingData& settings) const {
    settings.warnSizeFolders = server->isChecked()  ? qimimap::kWarnServerFolders
                               : local->isChecked() ? qimimap::kWarnLocalFolders
                               : both->isChecked()  ? qimimap::kWarnBothFolders
                                                    : qimimap::kWarnNoFolder;
    if (limit->hasAcceptableInput()) settings.warnSizeKB = limit->text().toInt();
}

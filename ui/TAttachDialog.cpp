#include "ui/TAttachDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "platform/FileSystem.h"
#include "platform/qt/QtText.h"

using platform::ToQString;

TAttachDialog::TAttachDialog(QWidget* parent, const std::string& text, const std::string& destination)
    : QDialog(parent) {
    setObjectName("QimAttachDialog");
    setWindowTitle(ToQString(LoadQimString(qimstr::AttachDialogCaption)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ToQString(text)));
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(ToQString(LoadQimString(qimstr::AttachDestination)));
    folder = new QLineEdit(ToQString(destination));
    folder->setObjectName("QimAttachFolder");
    label->setBuddy(folder);
    browse = new QPushButton(ToQString(LoadQimString(qimstr::AttachBrowse)));
    row->addWidget(label);
    row->addWidget(folder, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    saveAll = new QCheckBox(ToQString(LoadQimString(qimstr::AttachSaveAll)));
    saveAll->setObjectName("QimAttachSaveAll");
    layout->addWidget(saveAll);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TAttachDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TAttachDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
}

std::string TAttachDialog::Destination() const {
    std::string sjis;
    return platform::FromQString(folder->text().trimmed(), sjis) ? sjis : std::string();
}

bool TAttachDialog::SaveAll() const { return saveAll->isChecked(); }

void TAttachDialog::Browse() {
    platform::FileDialogRequest request;
    request.parent = this;
    request.kind = platform::FileDialogKind::Folder;
    request.initialDir = Destination();
    std::vector<std::string> paths;
    if (platform::Dialogs().FileDialog(request, paths) && !paths.empty()) folder->setText(ToQString(paths[0]));
}

void TAttachDialog::accept() {
    const std::string chosen = Destination();
    if (chosen.empty()) {
        QimMessageBox(this, LoadStringCmmnDll(cmmnstr::EnterFolderName).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    if (!platform::IsDirectory(chosen.c_str())) {
        QimMessageBox(this, LoadStringCmmnDll(cmmnstr::FolderNotFound).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

bool TQtAttachmentPrompt::Choose(platform::ParentWindow parent, const std::string& text, std::string& destination,
                                 bool& saveAll) {
    TAttachDialog dialog(static_cast<QWidget*>(parent), text, destination);
    if (dialog.exec() != QDialog::Accepted) return false;
    destination = dialog.Destination();
    saveAll = dialog.SaveAll();
    return true;
}

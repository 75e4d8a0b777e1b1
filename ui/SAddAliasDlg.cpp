#include "ui/SAddAliasDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

std::string Sjis(const QLineEdit* edit) { return platform::SjisOf(edit->text()); }

}  // namespace

SAddAliasDlg::SAddAliasDlg(QWidget* parent, const SAlias& initial) : QDialog(parent) {
    setObjectName("QimAddAliasDlg");
    setWindowTitle(Text(qimstr::AddAliasCaption));
    aliasEdit = new QLineEdit(platform::ToQString(initial.alias), this);
    addressEdit = new QLineEdit(platform::ToQString(initial.address), this);
    commentEdit = new QLineEdit(platform::ToQString(initial.comment), this);
    addressEdit->setMinimumWidth(360);
    auto* form = new QFormLayout;
    form->addRow(Text(qimstr::AliasLabel), aliasEdit);
    form->addRow(Text(qimstr::AddressLabel), addressEdit);
    form->addRow(Text(qimstr::CommentLabel), commentEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

SAlias SAddAliasDlg::Entry() const { return SAlias{Sjis(aliasEdit), Sjis(addressEdit), Sjis(commentEdit)}; }

void SAddAliasDlg::accept() {
    const SAlias entry = Entry();
    if (entry.alias.empty() || entry.address.empty()) {
        QimMessageBox(this, LoadQimString(qimstr::EnterAliasAndAddress).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    if (!entry.FitsStoredForm()) {
        QimMessageBox(this, LoadQimString(qimstr::AliasFieldsTooLong).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

bool EditAlias(QWidget* parent, const SAlias& initial, SAlias& entry) {
    SAddAliasDlg dialog(parent, initial);
    if (dialog.exec() != QDialog::Accepted) return false;
    entry = dialog.Entry();
    return true;
}

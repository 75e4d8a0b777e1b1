#include "ui/TCryptDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

namespace {

QLineEdit* HiddenField() {
    auto* field = new QLineEdit;
    field->setEchoMode(QLineEdit::Password);
    return field;
}

// The Shift_JIS form of a field; a text without one gives nothing.
std::string Sjis(const QLineEdit* field) {
    std::string text;
    if (!platform::FromQString(field->text(), text)) text.clear();
    return text;
}

}  // namespace

TCryptKeyDlg::TCryptKeyDlg(QWidget* parent, SMailKeyChooser& chooser, const std::string& addressText)
    : QDialog(parent), chooser_(chooser) {
    setWindowTitle(platform::ToQString(LoadQimString(qimstr::MailKeyCaption)));
    address = new QLineEdit(platform::ToQString(addressText));
    fromKeyFile = new QCheckBox(QString::fromUtf8("鍵管理ファイルの鍵を使う(&F)"));
    fromKeyFile->setEnabled(chooser.OffersKeyFile());
    fromKeyFile->setChecked(chooser.OffersKeyFile());
    key = HiddenField();
    keyAgain = HiddenField();
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("アドレス(&A):"), address);
    form->addRow(fromKeyFile);
    form->addRow(QString::fromUtf8("鍵(&K):"), key);
    if (chooser.GetMode() == SMailKeyChooser::Mode::Encrypt) form->addRow(QString::fromUtf8("鍵の再入力(&R):"), keyAgain);
    else keyAgain->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

void TCryptKeyDlg::accept() {
    SMailKeyEntry entry;
    entry.address = Sjis(address);
    entry.fromKeyFile = fromKeyFile->isChecked();
    entry.key = Sjis(key);
    entry.keyAgain = Sjis(keyAgain);
    switch (chooser_.Accept(this, entry, key_)) {
    case SMailKeyChooser::Outcome::Ok: QDialog::accept(); return;
    case SMailKeyChooser::Outcome::Failed: done(Failed); return;
    case SMailKeyChooser::Outcome::TypeKey:
        fromKeyFile->setChecked(false);
        key->setFocus();
        return;
    case SMailKeyChooser::Outcome::Retry: return;
    }
}

SCryptKeyPrompt::Result TQtCryptKeyPrompt::AskMailKey(platform::ParentWindow parent, SMailKeyChooser& chooser,
                                                      const std::string& address, unsigned char key[8]) {
    TCryptKeyDlg dialog(static_cast<QWidget*>(parent), chooser, address);
    const int result = dialog.exec();
    if (result == QDialog::Accepted) {
        std::copy(dialog.Key(), dialog.Key() + 8, key);
        return Result::Ok;
    }
    return result == TCryptKeyDlg::Failed ? Result::Failed : Result::Cancelled;
}

TKeyFileEditDlg::TKeyFileEditDlg(QWidget* parent, SKeyFileEditor& editor) : QDialog(parent), editor_(editor) {
    setWindowTitle(platform::ToQString(LoadQimString(qimstr::KeyDialogCaption)));
    list = new QListWidget;
    address = new QLineEdit;
    key = HiddenField();
    keyAgain = HiddenField();
    lock = new QComboBox;
    lock->addItems({QString::fromUtf8("使うときに鍵を入力する"), QString::fromUtf8("ログインパスワードで保護する"),
                    QString::fromUtf8("プログラムの鍵で保護する")});
    lock->setCurrentIndex(editor.Settings().lock);
    lookup = new QCheckBox(QString::fromUtf8("鍵管理ファイルからアドレスで鍵を探す(&L)"));
    lookup->setChecked(editor.Settings().LooksUpKeys());
    auto* add = new QPushButton(QString::fromUtf8("登録(&E)"));
    auto* remove = new QPushButton(QString::fromUtf8("削除(&D)"));
    connect(add, &QPushButton::clicked, this, &TKeyFileEditDlg::Add);
    connect(remove, &QPushButton::clicked, this, &TKeyFileEditDlg::Remove);

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("アドレス(&A):"), address);
    form->addRow(QString::fromUtf8("鍵(&K):"), key);
    form->addRow(QString::fromUtf8("鍵の再入力(&R):"), keyAgain);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    form->addRow(buttons);
    form->addRow(QString::fromUtf8("ロック方法(&M):"), lock);
    form->addRow(lookup);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
    Fill();
}

void TKeyFileEditDlg::Fill() {
    list->clear();
    for (const SKeyRecord& record : editor_.Records()) list->addItem(platform::ToQString(record.Address()));
}

void TKeyFileEditDlg::Add() {
    if (!editor_.Add(this, Sjis(address), Sjis(key), Sjis(keyAgain))) return;
    key->clear();
    keyAgain->clear();
    Fill();
}

void TKeyFileEditDlg::Remove() {
    const int row = list->currentRow();
    if (row >= 0 && editor_.Remove(this, static_cast<std::size_t>(row))) Fill();
}

void TKeyFileEditDlg::accept() {
    editor_.SetLock(lock->currentIndex());
    editor_.SetLooksUpKeys(lookup->isChecked());
    if (editor_.Save(this)) QDialog::accept();
}

bool EditKeyFile(QWidget* parent, const std::string& loginPassword) {
    SKeyFileEditor editor(loginPassword);
    if (!editor.Load(parent)) return false;
    TKeyFileEditDlg dialog(parent, editor);
    return dialog.exec() == QDialog::Accepted;
}

TCryptProgress::~TCryptProgress() { End(); }

void TCryptProgress::Begin(const std::string& caption, long steps) {
    End();
    dialog_ = new QProgressDialog(platform::ToQString(caption), QString(), 0, static_cast<int>(steps), parent_);
    dialog_->setWindowTitle(QStringLiteral("Qim"));
    dialog_->setMinimumDuration(500);
    dialog_->setValue(0);
}

void TCryptProgress::Step() {
    if (!dialog_) return;
    if (dialog_->value() < dialog_->maximum()) dialog_->setValue(dialog_->value() + 1);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TCryptProgress::End() {
    delete dialog_;
    dialog_ = nullptr;
}

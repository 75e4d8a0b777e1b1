#include "ui/SSocketErrorMessageDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "imap/Imap4Codes.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"

SSocketErrorMessageDlg::SSocketErrorMessageDlg(QWidget* parent, const std::string& text, int code) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Socket Error"));
    setObjectName(QString::number(code != 0 ? qimimap::kDialogSocketErrorWithCode : qimimap::kDialogSocketError));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    message = new QLabel(platform::ToQString(text).left(kTextLimit), this);
    message->setWordWrap(true);
    message->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(buttons);
    platform::Dialogs().Beep(platform::BeepKind::Stop);
}

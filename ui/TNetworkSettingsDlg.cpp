#include "ui/TNetworkSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SUserInetData.h"
#include "common/AppNames.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

namespace {

// The settings file keeps these values in 129-byte fields.
constexpr int kMaxValueBytes = 128;

QLineEdit* Edit(const std::string& sjis) {
    auto* edit = new QLineEdit(platform::ToQString(sjis));
    edit->setMaxLength(kMaxValueBytes);
    return edit;
}

QSpinBox* Port(int value) {
    auto* spin = new QSpinBox;
    spin->setRange(1, 65535);
    spin->setValue(value);
    return spin;
}

}  // namespace

TNetworkSettingsDlg::TNetworkSettingsDlg(QWidget* parent, const SUserInetData& data) : QDialog(parent), original_(data) {
    setWindowTitle(platform::ToQString(LoadQimString(qimstr::NetworkDialogCaption)));
    userName = Edit(data.userName);
    password = Edit(data.password);
    password->setEchoMode(QLineEdit::Password);
    mailAddress = Edit(data.mailAddress);
    pop3Server = Edit(data.pop3Server);
    pop3Port = Port(data.pop3Port);
    smtpServer = Edit(data.smtpServer);
    smtpPort = Port(data.smtpPort);
    clientAddr = Edit(data.clientAddr);
    mailBoxType = new QCheckBox(QString::fromUtf8("サーバーのメールボックスを表示する(&B)"));
    mailBoxType->setChecked(data.mailBoxType != 0);

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("ユーザー名(&U):"), userName);
    form->addRow(QString::fromUtf8("パスワード(&P):"), password);
    form->addRow(QString::fromUtf8("メールアドレス(&M):"), mailAddress);
    form->addRow(QString::fromUtf8("受信(POP3)サーバー(&R):"), pop3Server);
    form->addRow(QString::fromUtf8("受信ポート(&O):"), pop3Port);
    form->addRow(QString::fromUtf8("送信(SMTP)サーバー(&S):"), smtpServer);
    form->addRow(QString::fromUtf8("送信ポート(&T):"), smtpPort);
    form->addRow(QString::fromUtf8("クライアントアドレス(&C):"), clientAddr);
    form->addRow(QString(), mailBoxType);

    QDialogButtonBox* buttons = OkCancel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool TNetworkSettingsDlg::Collect(SUserInetData& data) {
    SUserInetData edited = original_;
    const struct {
        QLineEdit* edit;
        std::string* field;
    } texts[] = {{userName, &edited.userName},     {password, &edited.password},
                 {mailAddress, &edited.mailAddress}, {pop3Server, &edited.pop3Server},
                 {smtpServer, &edited.smtpServer},   {clientAddr, &edited.clientAddr}};
    for (const auto& t : texts) {
        std::string sjis;
        if (!platform::FromQString(t.edit->text().trimmed(), sjis) || sjis.size() > kMaxValueBytes) {
            QMessageBox::warning(this, GetAppName(), QString::fromUtf8("この欄には使えない文字があるか、長すぎます。"));
            t.edit->setFocus();
            return false;
        }
        *t.field = sjis;
    }
    edited.pop3Port = pop3Port->value();
    edited.smtpPort = smtpPort->value();
    edited.mailBoxType = mailBoxType->isChecked() ? 1 : 0;
    data = edited;
    return true;
}

void TNetworkSettingsDlg::accept() {
    SUserInetData probe;
    if (Collect(probe)) QDialog::accept();
}

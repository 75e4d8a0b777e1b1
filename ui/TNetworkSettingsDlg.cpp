#include "ui/TNetworkSettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
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
    const auto security = [](int value) {
        auto* combo = new QComboBox;
        for (unsigned id : {qimstr::SecurityPlainChoice, qimstr::SecurityStartTlsChoice, qimstr::SecurityTlsChoice})
            combo->addItem(platform::ToQString(LoadQimString(id)));
        combo->setCurrentIndex(value >= 0 && value <= 2 ? value : 0);
        return combo;
    };
    pop3Security = security(data.pop3Security);
    smtpSecurity = security(data.smtpSecurity);
    smtpAuth = new QCheckBox(platform::ToQString(LoadQimString(qimstr::SmtpAuthCheck)));
    smtpAuth->setChecked(data.smtpAuth != 0);
    smtpUser = Edit(data.smtpUser);
    smtpUser->setPlaceholderText(QString::fromUtf8("(ユーザー名と同じ)"));
    smtpAuthPlainText = new QCheckBox(platform::ToQString(LoadQimString(qimstr::SmtpAuthPlainTextCheck)));
    smtpAuthPlainText->setChecked(data.smtpAuthPlainText);
    tlsCaFile = Edit(data.tlsCaFile);
    // The well-known ports of TLS from the first byte choose it, and back.
    connect(pop3Port, qOverload<int>(&QSpinBox::valueChanged), this, [this](int port) {
        if (port == 995 || port == 993) pop3Security->setCurrentIndex(2);
    });
    connect(smtpPort, qOverload<int>(&QSpinBox::valueChanged), this, [this](int port) {
        if (port == 465) smtpSecurity->setCurrentIndex(2);
        else if (port == 587 && smtpSecurity->currentIndex() == 0) smtpSecurity->setCurrentIndex(1);
    });

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
    form->addRow(platform::ToQString(LoadQimString(qimstr::ReceiveSecurityLabel)), pop3Security);
    form->addRow(platform::ToQString(LoadQimString(qimstr::SendSecurityLabel)), smtpSecurity);
    form->addRow(QString(), smtpAuth);
    form->addRow(platform::ToQString(LoadQimString(qimstr::SmtpUserLabel)), smtpUser);
    form->addRow(QString(), smtpAuthPlainText);
    form->addRow(platform::ToQString(LoadQimString(qimstr::TlsCaFileLabel)), tlsCaFile);

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
                 {smtpServer, &edited.smtpServer},   {clientAddr, &edited.clientAddr},
                 {smtpUser, &edited.smtpUser},       {tlsCaFile, &edited.tlsCaFile}};
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
    edited.pop3Security = pop3Security->currentIndex();
    edited.smtpSecurity = smtpSecurity->currentIndex();
    edited.smtpAuth = smtpAuth->isChecked() ? 1 : 0;
    edited.smtpAuthPlainText = smtpAuthPlainText->isChecked();
    data = edited;
    return true;
}

void TNetworkSettingsDlg::accept() {
    SUserInetData probe;
    if (Collect(probe)) QDialog::accept();
}

// "ネットワーク関係の設定": the user's account and servers. The dialog only
// edits the record it is given; the caller stores it.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class SUserInetData;

class TNetworkSettingsDlg : public QDialog {
    Q_OBJECT

public:
    TNetworkSettingsDlg(QWidget* parent, const SUserInetData& data);
    // The edited values into `data`; false (with a box) when a text has no
    // Shift_JIS form or is too long to be stored.
    bool Collect(SUserInetData& data);

    void accept() override;

    QLineEdit* userName = nullptr;
    QLineEdit* password = nullptr;
    QLineEdit* mailAddress = nullptr;
    QLineEdit* pop3Server = nullptr;
    QSpinBox* pop3Port = nullptr;
    QLineEdit* smtpServer = nullptr;
    QSpinBox* smtpPort = nullptr;
    QLineEdit* clientAddr = nullptr;
    QCheckBox* mailBoxType = nullptr;
    // Secure connections: 0 none, 1 STARTTLS/STLS, 2 TLS from the first byte.
    QComboBox* pop3Security = nullptr;
    QComboBox* smtpSecurity = nullptr;
    QCheckBox* smtpAuth = nullptr;
    QLineEdit* smtpUser = nullptr;
    QCheckBox* smtpAuthPlainText = nullptr;
    QLineEdit* tlsCaFile = nullptr;

private:
    const SUserInetData& original_;
};

// The folder-size warning's settings (qimcmd::MailVolumeWarning): which
// folders are checked, as four radio buttons, and the limit in kilobytes.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;
class SQimPSettingData;

class SSetWarnSizeAFolderDlg : public QDialog {
    Q_OBJECT

public:
    SSetWarnSizeAFolderDlg(QWidget* parent, const SQimPSettingData& settings);
    // WSAFFolder and WarnSizeAFolder as the dialog shows them.
    void Collect(SQimPSettingData& settings) const;
    // OK only with a limit that is a positive number.
    void accept() override;

    QRadioButton* none = nullptr;
    QRadioButton* server = nullptr;
    QRadioButton* local = nullptr;
    QRadioButton* both = nullptr;
    QLineEdit* limit = nullptr;
};

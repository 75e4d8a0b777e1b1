// Where sent mails (qimcmd::SentMailFolder) or unsent mails (qimcmd::DraftFolder) are saved:
// on or off, the folder relative to the home directory (or, in the
// server-folder mode, to "_QimP" on the server), and the header-list and
// question flags of the folder property. A local folder that is not there is
// offered to be made before the dialog closes.
#pragma once

#include <QDialog>

#include "config/SQimSendSettingData.h"

class QCheckBox;
class QLineEdit;

class TSaveFolderDlg : public QDialog {
    Q_OBJECT

public:
    // `serverFolders`: the server-folder mode, where the folder may be a server's.
    TSaveFolderDlg(QWidget* parent, const SSaveMailFolderProperty& property, bool draft, bool serverFolders = false);
    // The property with the dialog's values.
    SSaveMailFolderProperty Result() const;
    // OK: a folder that is not there is offered to be made; declined, the dialog stays open.
    void accept() override;

    QCheckBox* saveCheck = nullptr;
    QLineEdit* folderEdit = nullptr;
    QCheckBox* showToCheck = nullptr;
    QCheckBox* showToSubCheck = nullptr;
    QCheckBox* noInquiryCheck = nullptr;
    QCheckBox* serverCheck = nullptr;  // the server-folder mode only

private:
    SSaveMailFolderProperty property_;
};

// Opens the dialog and, on OK, stores the settings record. True when changed.
bool EditSaveFolderSettings(QWidget* parent, SQimSendSettingData& settings, bool draft, bool serverFolders = false);

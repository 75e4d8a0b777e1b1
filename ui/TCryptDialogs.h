// The windows of the mail encryption: the key dialog of one mail (through
// SMailKeyChooser), the key-file editor "暗号化鍵の登録" (through
// SKeyFileEditor) and the progress window of a long encryption. The work and
// its checks are in crypt/; these only show and forward.
#pragma once

#include <QDialog>

#include "crypt/SCryptProgress.h"
#include "crypt/SKeyFileEditor.h"
#include "crypt/SMailKeyChooser.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressDialog;

class TCryptKeyDlg : public QDialog {
    Q_OBJECT

public:
    // Returned by exec() when the key file could not be used (a box said why).
    static constexpr int Failed = 2;

    TCryptKeyDlg(QWidget* parent, SMailKeyChooser& chooser, const std::string& address);
    // The key, once exec() returned Accepted.
    const unsigned char* Key() const { return key_; }

    QLineEdit* address = nullptr;
    QCheckBox* fromKeyFile = nullptr;
    QLineEdit* key = nullptr;
    QLineEdit* keyAgain = nullptr;  // encrypt mode only

public slots:
    void accept() override;

private:
    SMailKeyChooser& chooser_;
    unsigned char key_[8] = {};
};

// The key dialog as the compose window and the viewer open it.
class TQtCryptKeyPrompt : public SCryptKeyPrompt {
public:
    Result AskMailKey(platform::ParentWindow parent, SMailKeyChooser& chooser, const std::string& address,
                      unsigned char key[8]) override;
};

class TKeyFileEditDlg : public QDialog {
    Q_OBJECT

public:
    // `editor` has been loaded (SKeyFileEditor::Load returned true).
    TKeyFileEditDlg(QWidget* parent, SKeyFileEditor& editor);

    QListWidget* list = nullptr;
    QLineEdit* address = nullptr;
    QLineEdit* key = nullptr;
    QLineEdit* keyAgain = nullptr;
    QComboBox* lock = nullptr;
    QCheckBox* lookup = nullptr;

    void Add();
    void Remove();

public slots:
    void accept() override;

private:
    void Fill();
    SKeyFileEditor& editor_;
};

// Opens the key-file editor: loads the file (which may ask for its key) and
// shows the dialog. False when the file could not be read or the user cancelled.
bool EditKeyFile(QWidget* parent, const std::string& loginPassword);

class TCryptProgress : public SCryptProgress {
public:
    explicit TCryptProgress(QWidget* parent) : parent_(parent) {}
    ~TCryptProgress() override;
    void Begin(const std::string& caption, long steps) override;
    void Step() override;
    void End() override;

private:
    QWidget* parent_;
    QProgressDialog* dialog_ = nullptr;
};

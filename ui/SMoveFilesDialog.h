// The dialog of one sorting rule: the header item (From, Subject, To or a
// named field), the text, the destination folder (typed, or chosen below the
// home directory) and the three search options. One-shot sorting
// (qimcmd::OneShotSort) asks with it, and the rule-set dialog edits a rule
// with it.
#pragma once

#include <QDialog>
#include <string>

#include "filters/SAutoMoveFilesData.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class SMoveFilesDialog : public QDialog {
    Q_OBJECT

public:
    // `home`: where a relative destination lies, and where the chooser opens.
    SMoveFilesDialog(QWidget* parent, const SAutoMoveFilesData& initial, const std::string& home);
    SAutoMoveFilesData Rule() const;
    // Refused while the rule could not be stored as it is.
    void accept() override;
    // The folder chooser; a folder below the home directory is written
    // relative to it ("." for the home directory itself).
    void ChooseDestination();

    QComboBox* headerType = nullptr;   // From, Subject, To, その他のヘッダー
    QLineEdit* fieldName = nullptr;    // enabled for the named field
    QLineEdit* pattern = nullptr;
    QLineEdit* destination = nullptr;
    QPushButton* browse = nullptr;
    QCheckBox* atLineStart = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;

private:
    std::string home_;
};

// Shows the dialog; true on OK with `rule` set.
bool EditMoveFilesRule(QWidget* parent, const SAutoMoveFilesData& initial, const std::string& home,
                       SAutoMoveFilesData& rule);

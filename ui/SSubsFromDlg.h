// The From substitution dialogs (qimcmd::FromSubstitution): the list of rules
// with their options, and the dialog of one rule. The list edits a copy; OK
// hands it back for the application to keep and save.
#pragma once

#include <QDialog>

#include "filters/SSubsFrom.h"

class QCheckBox;
class QLineEdit;
class QTreeWidget;

class SNewSubsFromDialog : public QDialog {
    Q_OBJECT

public:
    SNewSubsFromDialog(QWidget* parent, const SSubsFrom& initial);
    SSubsFrom Rule() const;
    // Refused while a text is empty or longer than a rule stores.
    void accept() override;

    QLineEdit* fromEdit = nullptr;
    QLineEdit* subsEdit = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QCheckBox* atLineStart = nullptr;
};

class SSubsFromDlg : public QDialog {
    Q_OBJECT

public:
    SSubsFromDlg(QWidget* parent, const SSubsFromArray& rules);
    const SSubsFromArray& Rules() const { return rules_; }

    void AddRule();
    void EditRule();
    void DeleteRule();
    void MoveRule(int delta);

    // Columns 番号, From(元), 置き換え(後), 大小区別, 単語単位.
    QTreeWidget* list = nullptr;

private:
    void Fill(int current);
    int CurrentRow() const;

    SSubsFromArray rules_;
};

// Shows the rule dialog; true on OK with `rule` set.
bool EditSubsFrom(QWidget* parent, const SSubsFrom& initial, SSubsFrom& rule);

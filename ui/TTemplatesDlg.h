// The templates dialog (qimcmd::Templates): the head and the tail templates,
// each a list of names with a text, a default choice, and add, rename and
// delete. Nothing is written before OK; OK writes the lists, the texts and
// removes the files of the templates that went.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "send/STemplates.h"

class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TTemplatePage : public QWidget {
    Q_OBJECT

public:
    TTemplatePage(QWidget* parent, STemplateKind kind);

    // Asks for a new name; false when cancelled or refused.
    bool AddTemplate();
    bool RenameTemplate();
    bool DeleteTemplate();
    // Writes everything; false after telling the user.
    bool Save();

    QListWidget* names = nullptr;
    QPlainTextEdit* text = nullptr;
    QCheckBox* isDefault = nullptr;

private:
    struct Entry {
        std::string name;
        std::string text;
        std::string storedName;  // the name its file has now; empty for a new one
        bool edited = false;
    };
    // `self`: the row being renamed, which may keep its name (-1 for a new one).
    bool AskName(std::string& name, const std::string& shown, int self);
    void Show(int row);
    void KeepShown();

    STemplateList list_;
    std::vector<Entry> entries_;
    std::vector<std::string> removed_;
    std::string default_;
    int shown_ = -1;
};

class TTemplatesDlg : public QDialog {
    Q_OBJECT

public:
    explicit TTemplatesDlg(QWidget* parent);
    void accept() override;

    TTemplatePage* head = nullptr;
    TTemplatePage* tail = nullptr;
};

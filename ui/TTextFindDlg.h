// The find and the replace dialog of a text (the compose window's editor, the
// viewer): the text looked for, in the replace dialog the text put in its
// place, whether letter case counts, whole words only, and in the find dialog
// the direction. Modeless: its buttons act on the text while it stays open.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TTextFindDlg : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Find, Replace };
    TTextFindDlg(QWidget* parent, Kind kind);
    Kind DialogKind() const { return kind_; }
    // A line under the fields for what the last button did.
    void ShowOutcome(const QString& text);

    QLineEdit* pattern = nullptr;
    QLineEdit* replacement = nullptr;  // Replace only
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QRadioButton* upward = nullptr;    // Find only
    QRadioButton* downward = nullptr;  // Find only
    QPushButton* findNext = nullptr;
    QPushButton* replace = nullptr;     // Replace only
    QPushButton* replaceAll = nullptr;  // Replace only
    QLabel* outcome = nullptr;

signals:
    void FindNextClicked();
    void ReplaceClicked();
    void ReplaceAllClicked();

private:
    Kind kind_;
};

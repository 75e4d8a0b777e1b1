// The search of a folder's mails: the text looked for and where in the mails
// (the whole mail, the body, or one header field). The server compares
// without regard to letter case; the local search also offers every header
// line as the place and the options of the pattern (case, whole word, at the
// start of the line or field).
#pragma once

#include <QDialog>
#include <string>

#include "common/SFindCondition.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

// The options row of the local search dialogs: 大小区別, 単語単位 and 先頭のみ
// boxes, checked as `option`.
void AddFindOptionBoxes(QWidget* parent, QVBoxLayout* layout, const SFindOption& option, QCheckBox*& matchCase,
                        QCheckBox*& wholeWord, QCheckBox*& atLineStart);
SFindOption FindOptionOf(const QCheckBox* matchCase, const QCheckBox* wholeWord, const QCheckBox* atLineStart);
// The pattern typed, in Shift_JIS; false when it is empty or has a character
// without a Shift_JIS form (the search could never match it).
bool FindPatternOf(const QLineEdit* edit, std::string& sjis);

class TFindMailDlg : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Server, Local };
    explicit TFindMailDlg(QWidget* parent, Kind kind = Kind::Server);
    // The condition as typed (Shift_JIS).
    SFindMailCondition Condition() const;
    // OK only with something to look for (and a field name when a field is chosen).
    void accept() override;

    QLineEdit* pattern = nullptr;
    QRadioButton* wholeMail = nullptr;
    QRadioButton* body = nullptr;
    QRadioButton* field = nullptr;
    QLineEdit* fieldName = nullptr;
    // Local only (null for the server).
    QRadioButton* headerLines = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QCheckBox* atLineStart = nullptr;

private:
    void AddLocalChoices(QVBoxLayout* layout, const SFindMailCondition& last);
};

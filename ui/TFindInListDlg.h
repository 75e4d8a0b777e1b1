// The search of the header list's From (To) or Subject texts: the text looked
// for and its options. Each of the two keeps its last condition for the next
// opening.
#pragma once

#include <QDialog>

#include "common/SFindCondition.h"

class QCheckBox;
class QLineEdit;

class TFindInListDlg : public QDialog {
    Q_OBJECT

public:
    enum class Column { From, Subject };
    TFindInListDlg(QWidget* parent, Column column);
    // The pattern (Shift_JIS) with its options.
    SFindCondition Condition() const;
    // OK only with something to look for.
    void accept() override;

    QLineEdit* pattern = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QCheckBox* atLineStart = nullptr;

private:
    Column column_;
};

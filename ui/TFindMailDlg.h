// The search of a server folder: the text looked for and where in the mails
// (the whole mail, the body, or one header field). The server compares
// without regard to letter case.
#pragma once

#include <QDialog>

#include "common/SFindCondition.h"

class QLineEdit;
class QRadioButton;

class TFindMailDlg : public QDialog {
    Q_OBJECT

public:
    explicit TFindMailDlg(QWidget* parent);
    // The condition as typed (Shift_JIS).
    SFindMailCondition Condition() const;
    // OK only with something to look for (and a field name when a field is chosen).
    void accept() override;

    QLineEdit* pattern = nullptr;
    QRadioButton* wholeMail = nullptr;
    QRadioButton* body = nullptr;
    QRadioButton* field = nullptr;
    QLineEdit* fieldName = nullptr;
};

// The add dialog of one address-book entry: its name, its address (or list
// reference) and a comment. OK is refused while the name or the address is
// empty or a value would not fit what ALIAS.INI reads back.
#pragma once

#include <QDialog>

#include "address/SAlias.h"

class QLineEdit;

class SAddAliasDlg : public QDialog {
    Q_OBJECT

public:
    SAddAliasDlg(QWidget* parent, const SAlias& initial);
    SAlias Entry() const;

    QLineEdit* aliasEdit = nullptr;
    QLineEdit* addressEdit = nullptr;
    QLineEdit* commentEdit = nullptr;

    void accept() override;
};

// Shows the dialog for `initial`; true on OK with `entry` set.
bool EditAlias(QWidget* parent, const SAlias& initial, SAlias& entry);

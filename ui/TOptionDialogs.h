// Small dialogs that edit one option of the global record: the default sort
// of the header list (DefHLWSort) and the use of PGP (Usage).
#pragma once

#include <QDialog>

#include "store/QimStoreCodes.h"  // DefHLWSort bits

class QCheckBox;
class QComboBox;

class TDefaultSortDlg : public QDialog {
    Q_OBJECT

public:
    TDefaultSortDlg(QWidget* parent, int value);
    // The value with the edited bits; bits the dialog does not show are kept.
    int Value() const;

    QCheckBox* sortOn = nullptr;
    QComboBox* column = nullptr;
    QCheckBox* descending = nullptr;
    QCheckBox* thread = nullptr;
    QCheckBox* everyFolder = nullptr;

private:
    int original_;
};

class TPgpUsageDlg : public QDialog {
    Q_OBJECT

public:
    TPgpUsageDlg(QWidget* parent, int usage);
    // Bit 0 from the check box, the other bits as they were.
    int Usage() const;

    QCheckBox* usePgp = nullptr;

private:
    int original_;
};

// Usage bit: PGP is used.
constexpr int kPgpUsed = 0x01;

#include "ui/TOptionDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/QimCommandIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

namespace {

// The caption is the command's status-bar hint: it says what the dialog sets.
QString Caption(int command) { return platform::ToQString(LoadQimString(static_cast<unsigned>(command))); }

}  // namespace

TDefaultSortDlg::TDefaultSortDlg(QWidget* parent, int value) : QDialog(parent), original_(value) {
    setWindowTitle(Caption(qimcmd::DefaultSort));
    sortOn = new QCheckBox(QString::fromUtf8("フォルダーを開いたときに並べ替える(&S)"));
    column = new QComboBox;
    column->addItems({QString::fromUtf8("番号"), QString::fromUtf8("日付"), QString::fromUtf8("From"),
                      QString::fromUtf8("Subject")});
    descending = new QCheckBox(QString::fromUtf8("降順(&D)"));
    thread = new QCheckBox(QString::fromUtf8("Subject をスレッドとして比べる(&T)"));
    everyFolder = new QCheckBox(QString::fromUtf8("すべてのフォルダーに適用する(&A)"));
    sortOn->setChecked(value & kSortOn);
    column->setCurrentIndex(value & kSortColumnMask);
    descending->setChecked(value & kSortDescending);
    thread->setChecked(value & kSortThread);
    everyFolder->setChecked(value & kSortEveryFolder);

    auto* form = new QFormLayout;
    form->addRow(sortOn);
    form->addRow(QString::fromUtf8("項目(&K):"), column);
    form->addRow(descending);
    form->addRow(thread);
    form->addRow(everyFolder);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

int TDefaultSortDlg::Value() const {
    int value = original_ & ~(kSortColumnMask | kSortOn | kSortDescending | kSortThread | kSortEveryFolder);
    value |= column->currentIndex() & kSortColumnMask;
    if (sortOn->isChecked()) value |= kSortOn;
    if (descending->isChecked()) value |= kSortDescending;
    if (thread->isChecked()) value |= kSortThread;
    if (everyFolder->isChecked()) value |= kSortEveryFolder;
    return value;
}

TPgpUsageDlg::TPgpUsageDlg(QWidget* parent, int usage) : QDialog(parent), original_(usage) {
    setWindowTitle(Caption(qimcmd::PgpUsage));
    usePgp = new QCheckBox(QString::fromUtf8("PGP を使う(&U)"));
    usePgp->setChecked(usage & kPgpUsed);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(usePgp);
    layout->addWidget(OkCancel(this));
}

int TPgpUsageDlg::Usage() const { return (original_ & ~kPgpUsed) | (usePgp->isChecked() ? kPgpUsed : 0); }

#include "ui/TTextFindDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

}  // namespace

TTextFindDlg::TTextFindDlg(QWidget* parent, Kind kind) : QDialog(parent), kind_(kind) {
    const bool replacing = kind == Kind::Replace;
    setWindowTitle(Text(replacing ? qimstr::TextReplaceCaption : qimstr::TextFindCaption));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    pattern = new QLineEdit(this);
    form->addRow(Text(qimstr::FindPatternLabel), pattern);
    if (replacing) {
        replacement = new QLineEdit(this);
        form->addRow(Text(qimstr::ReplaceWithLabel), replacement);
    }
    layout->addLayout(form);
    auto* options = new QHBoxLayout;
    matchCase = new QCheckBox(Text(qimstr::FindMatchCase), this);
    wholeWord = new QCheckBox(Text(qimstr::FindWholeWord), this);
    options->addWidget(matchCase);
    options->addWidget(wholeWord);
    if (!replacing) {
        upward = new QRadioButton(Text(qimstr::FindUpward), this);
        downward = new QRadioButton(Text(qimstr::FindDownward), this);
        downward->setChecked(true);
        options->addWidget(upward);
        options->addWidget(downward);
    }
    options->addStretch(1);
    layout->addLayout(options);
    outcome = new QLabel(this);
    layout->addWidget(outcome);

    auto* buttons = new QDialogButtonBox(this);
    findNext = buttons->addButton(Text(qimstr::FindNextButton), QDialogButtonBox::ActionRole);
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, &TTextFindDlg::FindNextClicked);
    if (replacing) {
        replace = buttons->addButton(Text(qimstr::ReplaceButton), QDialogButtonBox::ActionRole);
        replaceAll = buttons->addButton(Text(qimstr::ReplaceAllButton), QDialogButtonBox::ActionRole);
        connect(replace, &QPushButton::clicked, this, &TTextFindDlg::ReplaceClicked);
        connect(replaceAll, &QPushButton::clicked, this, &TTextFindDlg::ReplaceAllClicked);
    }
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Nothing to look for, nothing to press.
    const auto follow = [this] {
        const bool any = !pattern->text().isEmpty();
        for (QPushButton* button : {findNext, replace, replaceAll})
            if (button) button->setEnabled(any);
    };
    connect(pattern, &QLineEdit::textChanged, this, follow);
    follow();
    resize(420, sizeHint().height());
}

void TTextFindDlg::ShowOutcome(const QString& text) { outcome->setText(text); }

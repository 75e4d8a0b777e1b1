#include "ui/TFindInListDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/TFindMailDlg.h"

using platform::ToQString;

namespace {

SFindCondition& LastCondition(TFindInListDlg::Column column) {
    static SFindCondition last[2];
    return last[column == TFindInListDlg::Column::From ? 0 : 1];
}

}  // namespace

TFindInListDlg::TFindInListDlg(QWidget* parent, Column column) : QDialog(parent), column_(column) {
    setWindowTitle(
        ToQString(LoadQimString(column == Column::From ? qimstr::FindFromCaption : qimstr::FindSubjectCaption)));
    const SFindCondition& last = LastCondition(column);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    pattern = new QLineEdit(ToQString(last.Pattern()), this);
    pattern->setMaxLength(kFindPatternMax);
    form->addRow(ToQString(LoadQimString(qimstr::FindPatternLabel)), pattern);
    layout->addLayout(form);
    AddFindOptionBoxes(this, layout, last.Option(), matchCase, wholeWord, atLineStart);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(380, sizeHint().height());
}

SFindCondition TFindInListDlg::Condition() const {
    SFindCondition condition;
    std::string text;
    FindPatternOf(pattern, text);
    condition.SetPattern(text.c_str());
    condition.SetOption(FindOptionOf(matchCase, wholeWord, atLineStart));
    return condition;
}

void TFindInListDlg::accept() {
    std::string text;
    if (!FindPatternOf(pattern, text)) {
        pattern->setFocus();
        return;
    }
    LastCondition(column_).CopyToMe(Condition());
    QDialog::accept();
}

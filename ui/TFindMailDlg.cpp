#include "ui/TFindMailDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

using platform::ToQString;

namespace {

// The last search, offered again.
SFindMailCondition& LastCondition() {
    static SFindMailCondition last;
    return last;
}

}  // namespace

void AddFindOptionBoxes(QWidget* parent, QVBoxLayout* layout, const SFindOption& option, QCheckBox*& matchCase,
                        QCheckBox*& wholeWord, QCheckBox*& atLineStart) {
    auto* row = new QHBoxLayout;
    matchCase = new QCheckBox(ToQString(LoadQimString(qimstr::FindMatchCase)), parent);
    wholeWord = new QCheckBox(ToQString(LoadQimString(qimstr::FindWholeWord)), parent);
    atLineStart = new QCheckBox(ToQString(LoadQimString(qimstr::FindAtLineStart)), parent);
    matchCase->setChecked(option.MatchCase);
    wholeWord->setChecked(option.WholeWord);
    atLineStart->setChecked(option.AtLineStart);
    for (QCheckBox* box : {matchCase, wholeWord, atLineStart}) row->addWidget(box);
    row->addStretch(1);
    layout->addLayout(row);
}

SFindOption FindOptionOf(const QCheckBox* matchCase, const QCheckBox* wholeWord, const QCheckBox* atLineStart) {
    SFindOption option;
    option.MatchCase = matchCase->isChecked();
    option.WholeWord = wholeWord->isChecked();
    option.AtLineStart = atLineStart->isChecked();
    return option;
}

bool FindPatternOf(const QLineEdit* edit, std::string& sjis) {
    sjis.clear();
    return !edit->text().isEmpty() && platform::FromQString(edit->text(), sjis);
}

TFindMailDlg::TFindMailDlg(QWidget* parent, Kind kind) : QDialog(parent) {
    const bool local = kind == Kind::Local;
    setWindowTitle(ToQString(LoadQimString(local ? qimstr::FindLocalCaption : qimstr::FindMailCaption)));
    const SFindMailCondition& last = LastCondition();
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    pattern = new QLineEdit(ToQString(last.Pattern()), this);
    pattern->setMaxLength(kFindPatternMax);
    form->addRow(ToQString(LoadQimString(qimstr::FindPatternLabel)), pattern);
    layout->addLayout(form);
    wholeMail = new QRadioButton(ToQString(LoadQimString(qimstr::FindWholeMail)), this);
    body = new QRadioButton(ToQString(LoadQimString(qimstr::FindBodyOnly)), this);
    field = new QRadioButton(ToQString(LoadQimString(qimstr::FindInFieldLabel)), this);
    fieldName = new QLineEdit(ToQString(last.FieldName()), this);
    fieldName->setMaxLength(kFindFieldNameMax);
    layout->addWidget(wholeMail);
    layout->addWidget(body);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(field);
    fieldRow->addWidget(fieldName, 1);
    layout->addLayout(fieldRow);
    if (local) AddLocalChoices(layout, last);
    switch (last.Where()) {
    case SFindMailCondition::FindInBody: body->setChecked(true); break;
    case SFindMailCondition::FindInField: field->setChecked(true); break;
    case SFindMailCondition::FindInHeader:
        (headerLines ? headerLines : wholeMail)->setChecked(true);
        break;
    default: wholeMail->setChecked(true); break;
    }
    fieldName->setEnabled(field->isChecked());
    connect(field, &QRadioButton::toggled, fieldName, &QLineEdit::setEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, sizeHint().height());
}

void TFindMailDlg::AddLocalChoices(QVBoxLayout* layout, const SFindMailCondition& last) {
    headerLines = new QRadioButton(ToQString(LoadQimString(qimstr::FindInHeaderLines)), this);
    layout->addWidget(headerLines);
    AddFindOptionBoxes(this, layout, last.Option(), matchCase, wholeWord, atLineStart);
}

SFindMailCondition TFindMailDlg::Condition() const {
    SFindMailCondition condition;
    std::string text;
    platform::FromQString(pattern->text(), text);
    condition.SetPattern(text.c_str());
    if (matchCase) condition.SetOption(FindOptionOf(matchCase, wholeWord, atLineStart));
    if (headerLines && headerLines->isChecked()) {
        condition.SetWhere(SFindMailCondition::FindInHeader);
    } else if (field->isChecked()) {
        std::string name;
        platform::FromQString(fieldName->text().trimmed(), name);
        condition.SetFieldName(name.c_str());
        condition.SetWhere(SFindMailCondition::FindInField);
    } else {
        condition.SetWhere(body->isChecked() ? SFindMailCondition::FindInBody : SFindMailCondition::FindInWholeMail);
    }
    return condition;
}

void TFindMailDlg::accept() {
    std::string text;
    if (!FindPatternOf(pattern, text)) {
        pattern->setFocus();
        return;
    }
    if (field->isChecked() && fieldName->text().trimmed().isEmpty()) {
        fieldName->setFocus();
        return;
    }
    LastCondition().CopyToMe(Condition());
    QDialog::accept();
}

#include "ui/TFindMailDlg.h"

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

TFindMailDlg::TFindMailDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ToQString(LoadQimString(qimstr::FindMailCaption)));
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
    switch (last.Where()) {
    case SFindMailCondition::FindInBody: body->setChecked(true); break;
    case SFindMailCondition::FindInField: field->setChecked(true); break;
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

SFindMailCondition TFindMailDlg::Condition() const {
    SFindMailCondition condition;
    std::string text;
    platform::FromQString(pattern->text(), text);
    condition.SetPattern(text.c_str());
    if (field->isChecked()) {
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
    if (pattern->text().isEmpty() || !platform::FromQString(pattern->text(), text)) {
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

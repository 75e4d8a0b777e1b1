#include "ui/SSubsFromDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"
#include "ui/RuleListDialog.h"

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

std::string Sjis(const QLineEdit* edit) { return platform::SjisOf(edit->text()); }

// A set option shows "v", a clear one nothing.
QString Mark(bool set) { return set ? QStringLiteral("v") : QString(); }

}  // namespace

SNewSubsFromDialog::SNewSubsFromDialog(QWidget* parent, const SSubsFrom& initial) : QDialog(parent) {
    setObjectName("QimNewSubsFromDlg");
    setWindowTitle(Text(qimstr::NewSubsFromCaption));
    fromEdit = new QLineEdit(platform::ToQString(initial.from), this);
    subsEdit = new QLineEdit(platform::ToQString(initial.subs), this);
    fromEdit->setMinimumWidth(300);
    matchCase = new QCheckBox(Text(qimstr::SubsMatchCase), this);
    wholeWord = new QCheckBox(Text(qimstr::SubsWholeWord), this);
    atLineStart = new QCheckBox(Text(qimstr::SubsAtLineStart), this);
    matchCase->setChecked(initial.opt.MatchCase);
    wholeWord->setChecked(initial.opt.WholeWord);
    atLineStart->setChecked(initial.opt.AtLineStart);
    auto* form = new QFormLayout;
    form->addRow(Text(qimstr::SubsFromLabel), fromEdit);
    form->addRow(Text(qimstr::SubsToLabel), subsEdit);
    form->addRow(matchCase);
    form->addRow(wholeWord);
    form->addRow(atLineStart);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

SSubsFrom SNewSubsFromDialog::Rule() const {
    SSubsFrom rule{Sjis(fromEdit), Sjis(subsEdit), {}};
    rule.opt.MatchCase = matchCase->isChecked();
    rule.opt.WholeWord = wholeWord->isChecked();
    rule.opt.AtLineStart = atLineStart->isChecked();
    return rule;
}

void SNewSubsFromDialog::accept() {
    if (!Rule().FitsStoredForm()) {
        QimMessageBox(this, LoadQimString(qimstr::SubsFieldsInvalid).c_str(), platform::MessageIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

bool EditSubsFrom(QWidget* parent, const SSubsFrom& initial, SSubsFrom& rule) {
    SNewSubsFromDialog dialog(parent, initial);
    if (dialog.exec() != QDialog::Accepted) return false;
    rule = dialog.Rule();
    return true;
}

SSubsFromDlg::SSubsFromDlg(QWidget* parent, const SSubsFromArray& rules) : QDialog(parent), rules_(rules) {
    setObjectName("QimSubsFromDlg");
    setWindowTitle(Text(qimstr::SubsFromCaption));
    const QStringList headers = {Text(qimstr::SubsNumberColumn), Text(qimstr::SubsFromColumn),
                                 Text(qimstr::SubsToColumn), Text(qimstr::SubsCaseColumn), Text(qimstr::SubsWordColumn)};
    list = BuildRuleListDialog(this, headers, {48, 180, 180, 72, 72},
                               {[this] { AddRule(); }, [this] { EditRule(); }, [this] { DeleteRule(); },
                                [this] { MoveRule(-1); }, [this] { MoveRule(1); }});
    resize(680, 320);
    Fill(0);
}

void SSubsFromDlg::Fill(int current) {
    list->clear();
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        const SSubsFrom& rule = rules_[i];
        new QTreeWidgetItem(list, {QString::number(i + 1), platform::ToQString(rule.from), platform::ToQString(rule.subs),
                                   Mark(rule.opt.MatchCase), Mark(rule.opt.WholeWord)});
    }
    SelectRuleRow(list, current);
}

int SSubsFromDlg::CurrentRow() const { return CurrentRuleRow(list); }

void SSubsFromDlg::AddRule() {
    SSubsFrom initial;
    initial.opt.SetByInt(kSubsFromDefaultOpt);
    SSubsFrom rule;
    if (!EditSubsFrom(this, initial, rule)) return;
    rules_.push_back(rule);
    Fill(static_cast<int>(rules_.size()) - 1);
}

void SSubsFromDlg::EditRule() {
    const int row = CurrentRow();
    if (row < 0) return;
    SSubsFrom rule;
    if (!EditSubsFrom(this, rules_[static_cast<std::size_t>(row)], rule)) return;
    rules_[static_cast<std::size_t>(row)] = rule;
    Fill(row);
}

void SSubsFromDlg::DeleteRule() {
    const int row = CurrentRow();
    if (row >= 0) Fill(::RemoveRule(rules_, row));
}

void SSubsFromDlg::MoveRule(int delta) {
    const int row = ::MoveRule(rules_, CurrentRow(), delta);
    if (row >= 0) Fill(row);
}

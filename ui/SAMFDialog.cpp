#include "ui/SAMFDialog.h"

#include <QTreeWidget>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/RuleListDialog.h"
#include "ui/SMoveFilesDialog.h"

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

// A set option shows "v", a clear one nothing.
QString Mark(bool set) { return set ? QStringLiteral("v") : QString(); }

QString ItemText(const SAutoMoveFilesData& rule) {
    switch (rule.headerType) {
    case kSortHeaderFrom:
        return QStringLiteral("From");
    case kSortHeaderSubject:
        return QStringLiteral("Subject");
    case kSortHeaderTo:
        return QStringLiteral("To");
    default:
        return platform::ToQString(rule.fieldName);
    }
}

bool IsSecondSet(SSortRuleSet set) { return set == SSortRuleSet::Local2 || set == SSortRuleSet::Server2; }

}  // namespace

SAMFDialog::SAMFDialog(QWidget* parent, SSortRuleSet set, const std::string& home)
    : QDialog(parent), profile_(set), home_(home) {
    setObjectName("QimAMFDlg");
    setWindowTitle(Text(IsSecondSet(set) ? qimstr::AutoSort2Caption : qimstr::AutoSortCaption));
    profile_.Load();
    const QStringList headers = {Text(qimstr::SubsNumberColumn),      Text(qimstr::SortItemColumn),
                                 Text(qimstr::SortPositionColumn),    Text(qimstr::SortTextColumn),
                                 Text(qimstr::SortDestinationColumn), Text(qimstr::SubsCaseColumn),
                                 Text(qimstr::SubsWordColumn)};
    list = BuildRuleListDialog(this, headers, {48, 90, 56, 180, 160, 72, 72},
                               {[this] { AddRule(); }, [this] { EditRule(); }, [this] { DeleteRule(); },
                                [this] { MoveRule(-1); }, [this] { MoveRule(1); }});
    resize(820, 340);
    Fill(0);
}

void SAMFDialog::Fill(int current) {
    list->clear();
    for (std::size_t i = 0; i < profile_.rules.size(); ++i) {
        const SAutoMoveFilesData& rule = profile_.rules[i];
        new QTreeWidgetItem(list, {QString::number(i + 1), ItemText(rule),
                                   Text(rule.option.AtLineStart ? qimstr::SortAtStart : qimstr::SortAnywhere),
                                   platform::ToQString(rule.pattern), platform::ToQString(rule.destination),
                                   Mark(rule.option.MatchCase), Mark(rule.option.WholeWord)});
    }
    SelectRuleRow(list, current);
}

int SAMFDialog::CurrentRow() const { return CurrentRuleRow(list); }

void SAMFDialog::AddRule() {
    SAutoMoveFilesData rule;
    if (!EditMoveFilesRule(this, SAutoMoveFilesData(), home_, rule)) return;
    profile_.rules.push_back(rule);
    Fill(static_cast<int>(profile_.rules.size()) - 1);
}

void SAMFDialog::EditRule() {
    const int row = CurrentRow();
    if (row < 0) return;
    SAutoMoveFilesData& stored = profile_.rules[static_cast<std::size_t>(row)];
    SAutoMoveFilesData rule;
    if (!EditMoveFilesRule(this, stored, home_, rule)) return;
    stored = rule;
    Fill(row);
}

void SAMFDialog::DeleteRule() {
    const int row = CurrentRow();
    if (row >= 0) Fill(::RemoveRule(profile_.rules, row));
}

void SAMFDialog::MoveRule(int delta) {
    const int row = ::MoveRule(profile_.rules, CurrentRow(), delta);
    if (row >= 0) Fill(row);
}

void SAMFDialog::accept() {
    if (!profile_.Save()) {
        QimMessageBox(this, LoadQimString(qimstr::SortSaveFailed).c_str(), platform::MessageIcon::Stop);
        return;
    }
    QDialog::accept();
}

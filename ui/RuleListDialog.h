// What the dialogs that edit a list of rules share (the From substitution,
// the sorting rule sets): the list with its column of buttons, the current
// row, and the deleting and moving of a rule.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include <QStringList>

class QDialog;
class QTreeWidget;

struct RuleListActions {
    std::function<void()> add, edit, remove, up, down;
};

// Fills `dialog` with the list of rules (columns `headers` of `widths`; a
// double click edits), the buttons 追加, 編集, 削除, 上へ, 下へ beside it, and
// OK and キャンセル below. Returns the list.
QTreeWidget* BuildRuleListDialog(QDialog* dialog, const QStringList& headers, const std::vector<int>& widths,
                                 const RuleListActions& actions);
// The row of the current rule, -1 when none.
int CurrentRuleRow(const QTreeWidget* list);
// Makes rule `row` current when there is one.
void SelectRuleRow(QTreeWidget* list, int row);

// Removes rule `row`; the row to make current afterwards (-1 when none is left
// or `row` was no rule).
template <typename Rules>
int RemoveRule(Rules& rules, int row) {
    if (row < 0 || row >= static_cast<int>(rules.size())) return -1;
    rules.erase(rules.begin() + row);
    return std::min(row, static_cast<int>(rules.size()) - 1);
}

// Swaps rule `row` with its neighbour `delta` away; the neighbour's row, or
// -1 when there is none.
template <typename Rules>
int MoveRule(Rules& rules, int row, int delta) {
    const int other = row + delta;
    if (row < 0 || other < 0 || row >= static_cast<int>(rules.size()) || other >= static_cast<int>(rules.size()))
        return -1;
    std::swap(rules[static_cast<std::size_t>(row)], rules[static_cast<std::size_t>(other)]);
    return other;
}

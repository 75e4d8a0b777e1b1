// What the dialogs that edit a list of rules share (the From substitution,
// the sorting rule sets): the column of buttons beside the list, and the
// deleting and moving of the current rule.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

class QBoxLayout;
class QWidget;

struct RuleListActions {
    std::function<void()> add, edit, remove, up, down;
};

// 追加, 編集, 削除, 上へ, 下へ, one above the other, with room below.
QBoxLayout* MakeRuleListButtons(QWidget* owner, const RuleListActions& actions);

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

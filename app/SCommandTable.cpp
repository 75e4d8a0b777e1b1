#include "app/SCommandTable.h"

void SCommandTable::Add(int id, Action action, CheckedQuery checked) {
    table_[id] = Entry{std::move(action), std::move(checked), {}};
}

void SCommandTable::AddWhen(int id, EnabledQuery enabled, Action action) {
    table_[id] = Entry{std::move(action), {}, std::move(enabled)};
}

bool SCommandTable::Has(int id) const { return table_.count(id) != 0; }

bool SCommandTable::Execute(int id) const {
    auto it = table_.find(id);
    if (it == table_.end()) return false;
    // A copy: the action may replace the table's entries.
    Action action = it->second.action;
    if (action) action();
    return true;
}

std::optional<bool> SCommandTable::IsChecked(int id) const {
    auto it = table_.find(id);
    if (it == table_.end() || !it->second.checked) return std::nullopt;
    return it->second.checked();
}

bool SCommandTable::IsEnabled(int id) const {
    auto it = table_.find(id);
    return it != table_.end() && (!it->second.enabled || it->second.enabled());
}

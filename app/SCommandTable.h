// The commands one window (or the application object) serves: what each does,
// for an option whether its menu item shows a check, and for a command that
// needs something to work on whether it can run now. A frame asks its own
// table, then its client's, then the application's.
#pragma once

#include <functional>
#include <map>
#include <optional>

class SCommandTable {
public:
    using Action = std::function<void()>;
    using CheckedQuery = std::function<bool()>;
    using EnabledQuery = std::function<bool()>;

    void Add(int id, Action action, CheckedQuery checked = {});
    // A command whose item is greyed while `enabled` says no.
    void AddWhen(int id, EnabledQuery enabled, Action action);
    bool Has(int id) const;
    // False when the command is not served here.
    bool Execute(int id) const;
    // nullopt for a command without a check mark (or not served here).
    std::optional<bool> IsChecked(int id) const;
    // Served here and able to run now.
    bool IsEnabled(int id) const;

private:
    struct Entry {
        Action action;
        CheckedQuery checked;
        EnabledQuery enabled;
    };
    std::map<int, Entry> table_;
};

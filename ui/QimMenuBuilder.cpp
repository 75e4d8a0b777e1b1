#include "ui/QimMenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <map>

#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

namespace {

// The pop-up of `path`, made (with its parents) when it does not exist yet.
QMenu* Popup(QMenuBar* bar, std::map<std::string, QMenu*>& popups, const std::string& path) {
    if (auto it = popups.find(path); it != popups.end()) return it->second;
    const std::size_t slash = path.rfind('/');
    QMenu* menu;
    if (slash == std::string::npos) {
        menu = bar->addMenu(platform::ToQString(path));
    } else {
        menu = Popup(bar, popups, path.substr(0, slash))->addMenu(platform::ToQString(path.substr(slash + 1)));
    }
    popups[path] = menu;
    return menu;
}

void Collect(const QWidget* root, std::vector<QAction*>& out) {
    for (QAction* action : root->actions()) {
        if (action->menu()) {
            Collect(action->menu(), out);
        } else if (CommandOf(action)) {
            out.push_back(action);
        }
    }
}

}  // namespace

void BuildMenuBar(QMenuBar* bar, const SMenuTable& table) {
    std::map<std::string, QMenu*> popups;
    for (const SMenuItem& item : table) {
        QMenu* menu = Popup(bar, popups, item.path);
        QAction* action;
        if (item.text.empty()) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(platform::ToQString(item.text));
            action->setStatusTip(platform::ToQString(LoadQimString(static_cast<unsigned>(item.id))));
        }
        if (item.id) action->setData(item.id);
    }
}

int CommandOf(const QAction* action) { return action ? action->data().toInt() : 0; }

std::vector<QAction*> CommandActions(const QWidget* root) {
    std::vector<QAction*> out;
    Collect(root, out);
    return out;
}

QAction* FindCommandAction(const QWidget* root, int id) {
    for (QAction* action : CommandActions(root))
        if (CommandOf(action) == id) return action;
    return nullptr;
}

void RemoveCommands(QWidget* root, const std::vector<int>& ids) {
    for (QAction* action : CommandActions(root)) {
        if (std::find(ids.begin(), ids.end(), CommandOf(action)) == ids.end()) continue;
        // An action leaves every menu it was in when it goes.
        delete action;
    }
}

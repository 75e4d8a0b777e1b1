// Menus built from a menu table: one QAction per item, carrying the command
// number as its data and the command's status-bar hint as its status tip.
#pragma once

#include <vector>

#include "ui/QimMenuTables.h"

class QAction;
class QMenuBar;
class QWidget;

// Appends the table's pop-ups and items to `bar`.
void BuildMenuBar(QMenuBar* bar, const SMenuTable& table);
// The command number of an action built here; 0 for others.
int CommandOf(const QAction* action);
// Every action with a command number under `root` (a menu bar or a menu), pop-ups searched too.
std::vector<QAction*> CommandActions(const QWidget* root);
// The action of command `id`, or null.
QAction* FindCommandAction(const QWidget* root, int id);
// Removes the items of these commands (the compose window without PGP).
void RemoveCommands(QWidget* root, const std::vector<int>& ids);

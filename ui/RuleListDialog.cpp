#include "ui/RuleListDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"

QTreeWidget* BuildRuleListDialog(QDialog* dialog, const QStringList& headers, const std::vector<int>& widths,
                                 const RuleListActions& actions) {
    auto* list = new QTreeWidget(dialog);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(headers);
    for (std::size_t c = 0; c < widths.size(); ++c) list->setColumnWidth(static_cast<int>(c), widths[c]);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, dialog, actions.edit);
    auto* buttons = new QVBoxLayout;
    const std::pair<unsigned, const std::function<void()>*> rows[] = {
        {qimstr::AddButton, &actions.add},   {qimstr::EditButton, &actions.edit}, {qimstr::DeleteButton, &actions.remove},
        {qimstr::UpButton, &actions.up},     {qimstr::DownButton, &actions.down},
    };
    for (const auto& [textId, action] : rows) {
        auto* button = new QPushButton(platform::ToQString(LoadQimString(textId)), dialog);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, dialog, *action);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* panes = new QHBoxLayout;
    panes->addWidget(list, 1);
    panes->addLayout(buttons);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(panes, 1);
    layout->addWidget(OkCancel(dialog));
    return list;
}

int CurrentRuleRow(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item ? list->indexOfTopLevelItem(item) : -1;
}

void SelectRuleRow(QTreeWidget* list, int row) {
    if (QTreeWidgetItem* item = list->topLevelItem(row)) list->setCurrentItem(item);
}

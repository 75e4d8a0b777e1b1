#include "ui/RuleListButtons.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

QBoxLayout* MakeRuleListButtons(QWidget* owner, const RuleListActions& actions) {
    auto* buttons = new QVBoxLayout;
    const std::pair<unsigned, const std::function<void()>*> rows[] = {
        {qimstr::AddButton, &actions.add},   {qimstr::EditButton, &actions.edit}, {qimstr::DeleteButton, &actions.remove},
        {qimstr::UpButton, &actions.up},     {qimstr::DownButton, &actions.down},
    };
    for (const auto& [textId, action] : rows) {
        auto* button = new QPushButton(platform::ToQString(LoadQimString(textId)), owner);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, owner, *action);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    return buttons;
}

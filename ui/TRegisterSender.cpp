#include "ui/TRegisterSender.h"

#include <QAbstractItemView>
#include <QMenu>

#include "address/AddressCodes.h"
#include "address/SRegisterSender.h"
#include "app/SCommandTable.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/SAddAliasDlg.h"

bool RegisterSender(QWidget* parent, const std::string& from) {
    SAlias entry = AliasOfSender(from);
    if (entry.address.empty()) {
        QimMessageBox(parent, LoadQimString(qimstr::NoSenderToRegister).c_str(), platform::MessageIcon::Exclamation);
        return false;
    }
    if (!EditAlias(parent, entry, entry)) return false;
    if (!AppendAlias(qimaddr::kSpecialFolderId, entry)) {
        QimMessageBox(parent, LoadStringCmmnDll(cmmnstr::CannotWriteOut).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    return true;
}

void AttachHeaderListMenu(QAbstractItemView* list, const SCommandTable& commands) {
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list, [list, &commands](const QPoint& at) {
        const QModelIndex index = list->indexAt(at);
        if (!index.isValid()) return;
        // The command works on the current mail: the one under the mouse.
        list->setCurrentIndex(index);
        QMenu menu(list);
        menu.setObjectName("QimHeaderListMenu");
        QAction* registerSender = menu.addAction(platform::ToQString(LoadQimString(qimstr::RegisterSenderItem)));
        registerSender->setData(qimcmd::RegisterSender);
        registerSender->setStatusTip(platform::ToQString(LoadQimString(qimcmd::RegisterSender)));
        registerSender->setEnabled(commands.Has(qimcmd::RegisterSender));
        bool chosen = false;
        QObject::connect(registerSender, &QAction::triggered, [&chosen] { chosen = true; });
        menu.exec(list->viewport()->mapToGlobal(at));
        // After the menu has gone: the command opens a dialog of its own.
        if (chosen) commands.Execute(qimcmd::RegisterSender);
    });
}

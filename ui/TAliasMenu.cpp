#include "ui/TAliasMenu.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStringListModel>

#include "address/AliasLookup.h"
#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "address/SAliasExpand.h"
#include "address/SAliasMenu.h"
#include "common/QimMessageBox.h"
#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "platform/qt/QtText.h"
#include "send/SEMailHeader.h"

namespace {

QString PasteText() { return QString::fromUtf8("貼り付け"); }

void AddItems(QMenu* menu, const std::vector<SAliasMenuItem>& items, const SAliasMenu& model, QLineEdit* field) {
    for (const SAliasMenuItem& item : items) {
        switch (item.kind) {
        case SAliasMenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case SAliasMenuItem::Kind::SubMenu:
            AddItems(menu->addMenu(platform::ToQString(item.text)), item.items, model, field);
            break;
        case SAliasMenuItem::Kind::Command: {
            // Qt menus have no column break of their own: a separator marks
            // where a new column of AliasMenuMaxRow items begins.
            if (item.newColumn) menu->addSeparator();
            const int id = item.id;
            QAction* action;
            if (id == qimcmd::EditPaste) {
                action = menu->addAction(PasteText(), field, [field] { field->paste(); });
                action->setStatusTip(platform::ToQString(LoadQimString(qimcmd::EditPaste)));
            } else {
                action = menu->addAction(platform::ToQString(item.text));
                QObject::connect(action, &QAction::triggered, field,
                                 [field, &model, id] { InsertAliasAddress(field, model, id); });
            }
            action->setData(id);
            break;
        }
        }
    }
}

}  // namespace

QMenu* BuildAliasMenu(const SAliasMenu& model, QLineEdit* field, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("QimAliasMenu");
    AddItems(menu, model.Items(), model, field);
    return menu;
}

bool InsertAliasAddress(QLineEdit* field, const SAliasMenu& model, int id) {
    std::string text;
    if (!model.Expansion(id, text)) {
        QimMessageBox(field->window(), LoadQimString(qimstr::AliasListFailed).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    if (!field->text().isEmpty()) {
        field->end(false);
        field->insert(QStringLiteral(", "));
    }
    field->insert(platform::ToQString(text));
    return true;
}

void AttachAddressBook(QLineEdit* field, const SQimSendSettingData& settings) {
    field->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(field, &QWidget::customContextMenuRequested, field, [field, &settings](const QPoint& at) {
        SAliasMenu model;
        model.Load(settings.aliasMenuRows);  // a damaged list still offers what it holds
        QMenu* menu = BuildAliasMenu(model, field, field);
        menu->exec(field->mapToGlobal(at));
        delete menu;
    });
    new TAddressCompleter(field);
}

void ExpandAddressFields(SEMailHeader& header) {
    for (std::string* field : {&header.to, &header.cc, &header.bcc}) *field = ExpandAliasesInField(*field);
}

TAddressCompleter::TAddressCompleter(QLineEdit* field)
    : QObject(field), field_(field), completer_(new QCompleter(this)), rows_(new QStringListModel(this)) {
    setObjectName("QimAddressCompleter");
    completer_->setModel(rows_);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setWidget(field_);
    connect(field_, &QLineEdit::textEdited, this, &TAddressCompleter::OnEdited);
    connect(completer_, QOverload<const QString&>::of(&QCompleter::activated), this, &TAddressCompleter::OnChosen);
    field_->installEventFilter(this);
    Reload();
}

void TAddressCompleter::Reload() {
    addressOfRow_.clear();
    QStringList rows;
    for (const SAddressArray& contents : LoadAddressBook()) {
        for (const SAlias& entry : contents.aliases) {
            const QString alias = platform::ToQString(entry.alias);
            rows << alias;
            addressOfRow_.emplace_back(alias, entry.address);
            // A list reference is no address to type.
            if (!entry.address.empty() && entry.address[0] != '\\') {
                const QString address = platform::ToQString(entry.address);
                rows << address;
                addressOfRow_.emplace_back(address, entry.address);
            }
        }
    }
    rows_->setStringList(rows);
}

bool TAddressCompleter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::FocusIn) Reload();
    return QObject::eventFilter(watched, event);
}

void TAddressCompleter::OnEdited(const QString& text) {
    const QString item = text.left(field_->cursorPosition()).section(',', -1).trimmed();
    if (item.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completer_->setCompletionPrefix(item);
    if (completer_->completionCount() > 0) {
        completer_->complete();
    } else {
        completer_->popup()->hide();
    }
}

void TAddressCompleter::OnChosen(const QString& row) {
    std::string address;
    for (const auto& [text, stored] : addressOfRow_) {
        if (text != row) continue;
        address = stored;
        break;
    }
    std::string expanded;
    if (!ExpandAliasAddress(address, expanded) || expanded.empty()) {
        QimMessageBox(field_->window(), LoadQimString(qimstr::AliasListFailed).c_str(), platform::MessageIcon::Stop);
        return;
    }
    // The item under the caret gives way to the address; the rest stays.
    const QString text = field_->text();
    const int caret = field_->cursorPosition();
    const int start = text.left(caret).lastIndexOf(',') + 1;
    QString before = text.left(start);
    if (start > 0) before += ' ';
    const QString inserted = platform::ToQString(expanded);
    field_->setText(before + inserted + text.mid(caret));
    field_->setCursorPosition(static_cast<int>(before.size() + inserted.size()));
}

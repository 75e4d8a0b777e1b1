#include "ui/SQimPTreeView.h"

#include "imap/Imap4Codes.h"
#include "platform/qt/QtText.h"

namespace {

constexpr int kKindRole = Qt::UserRole + 2;
constexpr int kMailboxRole = Qt::UserRole + 3;

}  // namespace

SQimPTreeView::SQimPTreeView(QWidget* parent) : TFolderTree(parent) {}

int SQimPTreeView::KindOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKindRole).toInt() : qimimap::kLocalItemData;
}

bool SQimPTreeView::IsServerItem(const QTreeWidgetItem* item) {
    const int kind = KindOf(item);
    return item && kind != qimimap::kLocalItemData && kind != qimimap::kLocalRootItemData;
}

bool SQimPTreeView::HasMailbox(const QTreeWidgetItem* item) { return item && item->data(0, kMailboxRole).toBool(); }

void SQimPTreeView::FillLocal(const std::string& home) {
    // The nodes come back as they were: no folder is chosen anew meanwhile.
    const QSignalBlocker block(this);
    // Fill starts the tree anew: the server part is taken out and put back.
    QTreeWidgetItem* server = ServerRoot();
    if (server) takeTopLevelItem(indexOfTopLevelItem(server));
    const std::string current = CurrentPath();
    const bool serverCurrent = server && IsServerItem(currentItem());
    Fill(home, serverCurrent ? std::string() : current);
    Root()->setData(0, kKindRole, qimimap::kLocalRootItemData);
    if (QTreeWidgetItem* hidden = hidden_.empty() ? nullptr : ItemOf(hidden_); hidden && hidden != Root()) {
        if (currentItem() == hidden) setCurrentItem(Root());
        delete hidden;
    }
    if (server) {
        addTopLevelItem(server);
        server->setExpanded(true);
        if (serverCurrent) setCurrentItem(ServerItemOf(current));
    }
}

QTreeWidgetItem* SQimPTreeView::MakeServerItem(const SQimPFolderNode& node) {
    QTreeWidgetItem* item = MakeItem(node.path, node.name);
    item->setData(0, kKindRole, node.itemData);
    item->setData(0, kMailboxRole, node.hasMailbox);
    Qt::ItemFlags flags = item->flags() | Qt::ItemIsDropEnabled;
    if (node.itemData != qimimap::kRootItemData) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    return item;
}

void SQimPTreeView::FillServer(const SQimPFolderTree& tree) {
    SetFilling(true);
    if (QTreeWidgetItem* old = ServerRoot()) delete old;
    std::vector<QTreeWidgetItem*> items;
    items.reserve(tree.nodes.size());
    for (const SQimPFolderNode& node : tree.nodes) {
        QTreeWidgetItem* item = MakeServerItem(node);
        items.push_back(item);
        if (node.parent < 0 || node.parent >= static_cast<int>(items.size()) - 1)
            addTopLevelItem(item);
        else
            items[static_cast<std::size_t>(node.parent)]->addChild(item);
    }
    if (QTreeWidgetItem* root = ServerRoot()) root->setExpanded(true);
    for (QTreeWidgetItem* item : items) item->setExpanded(true);
    SetFilling(false);
}

QTreeWidgetItem* SQimPTreeView::ServerRoot() const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (KindOf(topLevelItem(i)) == qimimap::kRootItemData) return topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* SQimPTreeView::ServerItemOf(const std::string& path) const {
    QTreeWidgetItem* root = ServerRoot();
    if (!root) return nullptr;
    std::vector<QTreeWidgetItem*> pending{root};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (PathOf(item) == path) return item;
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    return nullptr;
}

QTreeWidgetItem* SQimPTreeView::AnyItemOf(const std::string& path) const {
    if (QTreeWidgetItem* item = ServerItemOf(path)) return item;
    return ItemOf(path);
}

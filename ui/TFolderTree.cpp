#include "ui/TFolderTree.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalBlocker>
#include <algorithm>

#include "common/FilePath.h"
#include "platform/DialogService.h"
#include "platform/DirectoryList.h"
#include "platform/qt/QtText.h"
#include "store/SFolderCommands.h"
#include "ui/THeaderListModel.h"

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLabelRole = Qt::UserRole + 1;  // the label before an edit
// Far deeper than any mail folder tree; only a loop on disk gets there.
constexpr int kMaxDepth = 64;

std::vector<int> ParseNumbers(const QByteArray& text) {
    std::vector<int> numbers;
    for (const QByteArray& part : text.split(' ')) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (ok && n > 0) numbers.push_back(n);
    }
    return numbers;
}

}  // namespace

TFolderTree::TFolderTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemChanged, this, &TFolderTree::OnItemChanged);
}

std::string TFolderTree::PathOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toByteArray().toStdString() : std::string();
}

QTreeWidgetItem* TFolderTree::MakeItem(const std::string& path, const std::string& label) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, platform::ToQString(label));
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kLabelRole, QByteArray::fromStdString(label));
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    return item;
}

void TFolderTree::AddChildren(QTreeWidgetItem* item, int depth) {
    if (depth >= kMaxDepth) return;
    const std::string path = PathOf(item);
    // Only the folders: a large mail folder's files are never looked at.
    std::vector<platform::DirectoryEntry> entries;
    platform::ListSubfolders(path.c_str(), entries);
    std::vector<std::string> names;
    for (const platform::DirectoryEntry& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string child;
        MergeFilePath(child, path, name);
        QTreeWidgetItem* node = MakeItem(child, name);
        node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDropEnabled);
        item->addChild(node);
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const platform::DirectoryEntry& e) { return e.name == name; });
        // A linked folder is shown but not walked: a link back up would never end.
        if (entry != entries.end() && !entry->symlink) AddChildren(node, depth + 1);
    }
}

void TFolderTree::Fill(const std::string& home, const std::string& select) {
    filling_ = true;
    clear();
    QTreeWidgetItem* root = MakeItem(home, home);
    root->setFlags((root->flags() | Qt::ItemIsDropEnabled) & ~Qt::ItemIsEditable);
    addTopLevelItem(root);
    AddChildren(root, 0);
    expandAll();
    QTreeWidgetItem* current = select.empty() ? nullptr : ItemOf(select);
    setCurrentItem(current ? current : root);
    filling_ = false;
}

QTreeWidgetItem* TFolderTree::ItemOf(const std::string& path) const {
    QTreeWidgetItem* root = Root();
    if (!root) return nullptr;
    std::vector<QTreeWidgetItem*> pending{root};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (IsSameDir(PathOf(item), path)) return item;
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    return nullptr;
}

QTreeWidgetItem* TFolderTree::AddFolder(QTreeWidgetItem* parent, const std::string& path) {
    std::string dir, name;
    SplitFilePath(path, dir, name);
    filling_ = true;
    QTreeWidgetItem* node = MakeItem(path, name);
    node->setFlags(node->flags() | Qt::ItemIsEditable | Qt::ItemIsDropEnabled);
    int at = 0;
    while (at < parent->childCount() && PathOf(parent->child(at)) < path) ++at;
    parent->insertChild(at, node);
    AddChildren(node, 0);
    parent->setExpanded(true);
    filling_ = false;
    return node;
}

void TFolderTree::Renamed(QTreeWidgetItem* item, const std::string& newPath) {
    filling_ = true;
    const std::string oldPath = PathOf(item);
    std::string dir, name;
    SplitFilePath(newPath, dir, name);
    item->setData(0, kLabelRole, QByteArray::fromStdString(name));
    item->setText(0, platform::ToQString(name));
    std::vector<QTreeWidgetItem*> pending{item};
    while (!pending.empty()) {
        QTreeWidgetItem* node = pending.back();
        pending.pop_back();
        const std::string path = PathOf(node);
        node->setData(0, kPathRole, QByteArray::fromStdString(newPath + path.substr(oldPath.size())));
        for (int i = 0; i < node->childCount(); ++i) pending.push_back(node->child(i));
    }
    // Name order among the siblings.
    if (QTreeWidgetItem* parent = item->parent()) {
        const bool expanded = item->isExpanded();
        const bool wasCurrent = currentItem() == item;
        parent->removeChild(item);
        int at = 0;
        while (at < parent->childCount() && PathOf(parent->child(at)) < newPath) ++at;
        parent->insertChild(at, item);
        item->setExpanded(expanded);
        if (wasCurrent) setCurrentItem(item);
    }
    filling_ = false;
}

void TFolderTree::RestoreLabel(QTreeWidgetItem* item) {
    filling_ = true;
    item->setText(0, platform::ToQString(item->data(0, kLabelRole).toByteArray().toStdString()));
    filling_ = false;
}

void TFolderTree::OnItemChanged(QTreeWidgetItem* item, int) {
    if (filling_) return;
    const std::string old = item->data(0, kLabelRole).toByteArray().toStdString();
    std::string name;
    if (!platform::FromQString(item->text(0), name)) {
        // No Shift_JIS form: a character the name check refuses stands in.
        name.clear();
        name.push_back('?');
    }
    if (name == old) return;
    emit LabelEdited(item, name);
}

QStringList TFolderTree::mimeTypes() const { return {QString::fromLatin1(THeaderListModel::kMailNumbersMime)}; }

void TFolderTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QString::fromLatin1(THeaderListModel::kMailNumbersMime)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFolderTree::dragMoveEvent(QDragMoveEvent* event) {
    const bool mails = event->mimeData()->hasFormat(QString::fromLatin1(THeaderListModel::kMailNumbersMime));
    if (mails && itemAt(event->position().toPoint())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TFolderTree::dropEvent(QDropEvent* event) {
    if (DropMails(event->mimeData(), event->position().toPoint())) {
        // The list brings its rows in line itself; the drag only carried numbers.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool TFolderTree::DropMails(const QMimeData* mime, const QPoint& at) {
    QTreeWidgetItem* target = itemAt(at);
    const QString numbersType = QString::fromLatin1(THeaderListModel::kMailNumbersMime);
    if (!target || !mime || !mime->hasFormat(numbersType)) return false;
    const std::vector<int> numbers = ParseNumbers(mime->data(numbersType));
    const std::string source = mime->data(QString::fromLatin1(THeaderListModel::kSourceFolderMime)).toStdString();
    if (numbers.empty()) return false;
    emit MailsDropped(source, numbers, PathOf(target));
    return true;
}

std::string TFolderTree::RenameLocalFolder(QTreeWidgetItem* item, const std::string& name, const std::string& shown) {
    const std::string oldPath = PathOf(item);
    const std::string newPath = SFolderCommands(platform::Dialogs(), window()).RenameFolder(oldPath, name);
    if (newPath.empty() || newPath == oldPath) {
        RestoreLabel(item);
        return std::string();
    }
    const bool shownMoves = IsSubfolder(oldPath, shown, true);
    {
        const QSignalBlocker block(this);
        Renamed(item, newPath);
    }
    return shownMoves ? newPath + shown.substr(oldPath.size()) : std::string();
}

// The folder tree: the home directory (by its full path) as root and every
// folder below it, sorted by name. A click shows a folder; selected mails
// dropped on a folder move there; a label edited in place renames its folder.
#pragma once

#include <QTreeWidget>
#include <string>

class TFolderTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit TFolderTree(QWidget* parent = nullptr);

    // Lists `home` and everything below it anew; the folder `select` (or the
    // root) becomes current.
    void Fill(const std::string& home, const std::string& select = std::string());
    // The Shift_JIS full path of a node.
    static std::string PathOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* ItemOf(const std::string& path) const;
    QTreeWidgetItem* Root() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }
    std::string CurrentPath() const { return PathOf(currentItem()); }

    // A node for the new folder `path` below `parent`, in name order; its
    // subfolders are listed too.
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const std::string& path);
    // The node now stands for `newPath`; the paths below it follow.
    void Renamed(QTreeWidgetItem* item, const std::string& newPath);
    // Mail numbers of a header-list drag dropped at `at` (viewport
    // coordinates); false when they land on no folder.
    bool DropMails(const QMimeData* mime, const QPoint& at);
    // The label of a node as it was before an edit.
    void RestoreLabel(QTreeWidgetItem* item);
    // The local folder of `item` renamed to the edited label `name` on disk and in
    // the tree (the old label back when that fails). Returns where the folder
    // `shown` now is when it moved with it, else empty.
    std::string RenameLocalFolder(QTreeWidgetItem* item, const std::string& name, const std::string& shown);

signals:
    // Mails of `sourceFolder` (numbers in list order) dropped on `destination`.
    void MailsDropped(const std::string& sourceFolder, const std::vector<int>& numbers,
                      const std::string& destination);
    // The label of `item` was edited to `newName` (Shift_JIS).
    void LabelEdited(QTreeWidgetItem* item, const std::string& newName);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QStringList mimeTypes() const override;
    // A node for `path` with its label, not yet in the tree.
    QTreeWidgetItem* MakeItem(const std::string& path, const std::string& label);
    // While set, label changes are the tree's own and no edit is reported.
    void SetFilling(bool filling) { filling_ = filling; }

private:
    void AddChildren(QTreeWidgetItem* item, int depth);
    void OnItemChanged(QTreeWidgetItem* item, int column);

    bool filling_ = false;
};

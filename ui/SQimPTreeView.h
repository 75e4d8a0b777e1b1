// The folder tree of the server-folder window: the local folders under the
// home directory, as the local window shows them, and below them the root
// "_QimP" with the server folders of the folder list. Each node carries its
// kind: 3 the server root, 2 a server folder, 8 a server mailbox that holds
// no folders, 1 the local root and 0 a local folder.
#pragma once

#include <string>

#include "imap/SQimPFolderTree.h"
#include "ui/TFolderTree.h"

namespace qimimap {

constexpr int kLocalItemData = 0;
constexpr int kLocalRootItemData = 1;

}  // namespace qimimap

class SQimPTreeView : public TFolderTree {
    Q_OBJECT

public:
    explicit SQimPTreeView(QWidget* parent = nullptr);

    // The local folders anew (the server part stays as it was).
    void FillLocal(const std::string& home);
    // A folder the local part never shows (the caches' own, should it lie there).
    void SetHiddenFolder(const std::string& path) { hidden_ = path; }
    // The server part anew from `tree`; the root alone when it holds nothing.
    void FillServer(const SQimPFolderTree& tree);

    static int KindOf(const QTreeWidgetItem* item);
    // A node of the server: its kind is neither local.
    static bool IsServerItem(const QTreeWidgetItem* item);
    // Whether the server folder of a node holds mail of its own ("_mbox"
    // in the plain variant); the root always does.
    static bool HasMailbox(const QTreeWidgetItem* item);

    QTreeWidgetItem* ServerRoot() const;
    QTreeWidgetItem* ServerItemOf(const std::string& path) const;
    // The local node or the server node of `path`.
    QTreeWidgetItem* AnyItemOf(const std::string& path) const;

private:
    QTreeWidgetItem* MakeServerItem(const SQimPFolderNode& node);

    std::string hidden_;
};

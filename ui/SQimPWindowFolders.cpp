// The folders of the server-folder window: the tree from the folder list, the
// header list of the folder shown, and the folder commands.
#include <QHeaderView>
#include <QTreeView>

#include "common/AppNames.h"
#include "common/FilePath.h"
#include "common/JapaneseCodes.h"
#include "common/SCheckWindowsFileName.h"
#include "common/SHanZenKana.h"
#include "config/QimFolderViewSettings.h"
#include "config/QimLayoutSettings.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "imap/QimPFolderSizeWarning.h"
#include "imap/QimPSizeColumn.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SFolderCommands.h"
#include "ui/SImap4CommunDlg.h"
#include "ui/SQimPTreeView.h"
#include "ui/SQimPWindow.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"

using namespace qimstore;

namespace {

constexpr int kSizeColumnWidth = 72;

// Whether `name` holds `delimiter` as a character of its own.
bool HoldsDelimiter(const std::string& name, const std::string& delimiter) {
    if (delimiter.size() != 1) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (IsKanji1(c) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (name[i] == delimiter[0]) return true;
    }
    return false;
}

}  // namespace

bool SQimPWindow::IsServerFolderShown() const { return qimimap::IsQimPFolder(shown_); }

std::string SQimPWindow::MailboxOf(const QTreeWidgetItem* item) const {
    const std::string path = TFolderTree::PathOf(item);
    switch (SQimPTreeView::KindOf(item)) {
    case qimimap::kRootItemData:
        return qimimap::kQimPRoot;
    case qimimap::kMailboxOnlyItemData:
        return path;
    default:
        return MboxFolders() ? path + "\\" + qimimap::kMboxFolder : path;
    }
}

std::string SQimPWindow::NewFolderMailbox(const std::string& parentPath, const std::string& name) const {
    std::string mailbox = parentPath + "\\" + name;
    if (MboxFolders()) mailbox.append("\\").append(qimimap::kMboxFolder);
    return mailbox;
}

SQimPFolderRef SQimPWindow::RefOf(const std::string& path) const {
    const QTreeWidgetItem* item = tree_->AnyItemOf(path);
    if (item && SQimPTreeView::IsServerItem(item)) return SQimPFolderRef::Server(path, MailboxOf(item));
    return SQimPFolderRef::Local(path);
}

// ---- The tree ----

void SQimPWindow::RebuildServerTree() {
    serverTree_ = BuildQimPFolderTree(folderList_, cache_, MboxFolders());
    if (serverTree_.notice) Notify(*serverTree_.notice);
    const QSignalBlocker block(tree_);
    tree_->FillServer(serverTree_);
    if (QTreeWidgetItem* item = tree_->AnyItemOf(shown_)) tree_->setCurrentItem(item);
}

// ---- The header list ----

void SQimPWindow::TakeSortOf(const std::string& folder) {
    sortColumn_ = 0;
    sortDirection_ = kDirNone;
    const bool server = qimimap::IsQimPFolder(folder);
    // A server folder takes the default sort, the INBOX as the inbox.
    if (!server && ReadFolderSort(home_, folder, sortColumn_, sortDirection_)) return;
    const bool inbox = server ? folder == qimimap::kQimPRoot : IsSameDir(folder, home_);
    if (!DefaultSortOf(settings_.defaultSort, inbox, sortColumn_, sortDirection_)) sortDirection_ = kDirNone;
}

void SQimPWindow::ShowList(bool server) {
    if (server || qimpSettings_.showLocalMailSize)
        model_->SetSizeColumn([this](int number) { return cache_.GetSize(number); });
    else
        model_->SetSizeColumn({});
    fromTo_.Refresh(false);
    model_->Reset(&cache_, !server && IsSameDir(shown_, home_), 0);
    model_->SetShowsTo(fromTo_.ShowsTo());
    // The last column fills the rest of the width: Subject, also beside the size column.
    QHeaderView* columns = list_->header();
    if (model_->HasSizeColumn()) {
        columns->setStretchLastSection(false);
        columns->setSectionResizeMode(kColumnSubject, QHeaderView::Stretch);
        list_->setColumnWidth(qimimap::kSizeColumn, kSizeColumnWidth);
    } else {
        columns->setSectionResizeMode(kColumnSubject, QHeaderView::Interactive);
        columns->setStretchLastSection(true);
    }
    if (sortDirection_ != kDirNone) {
        model_->Comparator().SetDirection(sortColumn_, sortDirection_);
        model_->SortBy(sortColumn_);
    }
    QHeaderView* header = list_->header();
    header->setSortIndicatorShown(sortDirection_ != kDirNone);
    if (sortDirection_ != kDirNone) {
        const bool descending = sortDirection_ == kDirDescending || sortDirection_ == kDirThreadDescending;
        header->setSortIndicator(sortColumn_, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    if (model_->rowCount() > 0) list_->scrollToTop();
    emit SelectionChanged();
}

void SQimPWindow::OnHeaderClicked(int column) {
    if (column >= kColumnCount) return;  // the size column keeps the order
    model_->Comparator().StepDirection(column);
    sortColumn_ = column;
    sortDirection_ = model_->Comparator().Direction(column);
    model_->SortBy(column);
    QHeaderView* header = list_->header();
    header->setSortIndicatorShown(sortDirection_ != kDirNone);
    const bool descending = sortDirection_ == kDirDescending || sortDirection_ == kDirThreadDescending;
    header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (!IsServerFolderShown()) WriteFolderSort(home_, shown_, sortColumn_, sortDirection_);
}

void SQimPWindow::SelectFolder(const std::string& path) {
    QTreeWidgetItem* item = tree_->AnyItemOf(path);
    if (!item) return;
    if (tree_->currentItem() != item) {
        const QSignalBlocker block(tree_);
        tree_->setCurrentItem(item);
    }
    viewer_->Clear();
    viewed_ = Shown();
    found_.clear();
    if (path != shown_) TakeSortOf(path);
    shown_ = path;
    cache_.SetFolder(path);
    const bool server = SQimPTreeView::IsServerItem(item);
    if (server && cache_.NeedsFetch() && SQimPTreeView::HasMailbox(item)) {
        // The list stays empty until the server's headers came.
        cache_.Reset();
        cache_.Load();
        ShowList(true);
        FetchHeaders(item);
        return;
    }
    ShowList(server);
    if (std::optional<SNotice> warning =
            qimimap::FolderSizeWarning(qimpSettings_, server, TFolderTree::PathOf(item), cache_.TotalSize()))
        Notify(*warning);
}

void SQimPWindow::FetchHeaders(QTreeWidgetItem* item) {
    SImap4Request request;
    request.folder = MailboxOf(item);
    request.cache = &cache_;
    pending_.headers = TFolderTree::PathOf(item);
    if (!SendRequest(request, qimimap::kOpFetchHeaders)) pending_.headers.clear();
}

void SQimPWindow::OnHeadersCompleted(bool ok) {
    const std::string folder = pending_.headers;
    pending_.headers.clear();
    newMailCount_ = 0;
    startingUp_ = false;
    if (!ok) Notify(SNotice::Program(qimstr::HeaderListFailed));
    if (folder.empty() || folder != shown_) {
        OnSortHeadersCompleted(false);
        return;
    }
    cache_.Load();
    ShowList(true);
    OnSortHeadersCompleted(ok);
    if (!ok) return;
    if (std::optional<SNotice> warning = qimimap::FolderSizeWarning(qimpSettings_, true, folder, cache_.TotalSize()))
        Notify(*warning);
}

void SQimPWindow::RefreshList() {
    viewer_->Clear();
    viewed_ = Shown();
    cache_.SetFolder(shown_);
    ShowList(IsServerFolderShown());
}

// ---- Folder commands ----

// A name with half-width katakana is taken widened, when the user agrees.
bool SQimPWindow::TakeKatakanaName(std::string& name) {
    SHanZenKana kana;
    if (!kana.DoesExistHankaku(name.c_str())) return true;
    platform::MessageBoxRequest box;
    box.parent = window();
    box.caption = GetAppName();
    box.text = LoadQimString(qimstr::HankakuKanaWidened);
    box.icon = platform::MessageIcon::Exclamation;
    box.buttons = platform::MessageButtons::OkCancel;
    if (platform::Dialogs().MessageBox(box) != platform::MessageAnswer::Ok) return false;
    std::string wide;
    if (!kana.Han2Zen(name, wide)) return false;
    name = wide;
    return true;
}

void SQimPWindow::NewFolder() {
    QTreeWidgetItem* parent = tree_->currentItem();
    if (!parent) parent = tree_->ServerRoot();
    if (!parent) return;
    if (SQimPTreeView::IsServerItem(parent)) {
        NewServerFolder(parent);
        return;
    }
    const std::string path = SFolderCommands(platform::Dialogs(), window()).NewFolder(TFolderTree::PathOf(parent));
    if (!path.empty()) tree_->AddFolder(parent, path);
}

void SQimPWindow::NewServerFolder(QTreeWidgetItem* parent) {
    platform::InputBoxRequest request;
    request.parent = window();
    request.caption = GetAppName();
    request.prompt = LoadQimString(qimstr::NewFolderPrompt);
    request.maxLength = kMaxPath;
    std::string name;
    if (!platform::Dialogs().InputBox(request, name) || name.empty()) return;
    // Names are the cache directories' too: what a file name cannot hold is refused.
    if (SCheckWindowsFileName::DoesContainBadChars(name.c_str()) || name == "." || name == "..") {
        SCheckWindowsFileName::ErrorMessage(window());
        return;
    }
    if (!TakeKatakanaName(name)) return;
    if (SQimPTreeView::KindOf(parent) == qimimap::kMailboxOnlyItemData) {
        Notify(SNotice::Program(qimstr::NoFolderUnderMailbox, {}, platform::MessageIcon::Exclamation));
        return;
    }
    // The server would take the delimiter for a level of folders.
    const std::string delimiter = session_ ? session_->Session().Delimiter() : std::string();
    if (HoldsDelimiter(name, delimiter)) {
        Notify(SNotice::Program(qimstr::ServerNameHasDelimiter, {delimiter}, platform::MessageIcon::Exclamation));
        return;
    }
    SImap4Request create;
    create.folder = NewFolderMailbox(TFolderTree::PathOf(parent), name);
    SendRequest(create, qimimap::kOpCreateFolder);
}

void SQimPWindow::RenameFolder() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item || item == tree_->Root()) return;
    if (SQimPTreeView::KindOf(item) == qimimap::kRootItemData) {
        Notify(SNotice::Program(qimstr::QimPCannotRename, {}, platform::MessageIcon::Exclamation));
        return;
    }
    tree_->editItem(item, 0);
}

void SQimPWindow::OnLabelEdited(QTreeWidgetItem* item, const std::string& name) {
    const std::string oldPath = TFolderTree::PathOf(item);
    // The node may have gone while the edit waited.
    if (tree_->AnyItemOf(oldPath) != item) return;
    if (!SQimPTreeView::IsServerItem(item)) {
        const std::string moved = tree_->RenameLocalFolder(item, name, shown_);
        if (!moved.empty()) SelectFolder(moved);
        return;
    }
    if (SQimPTreeView::KindOf(item) == qimimap::kRootItemData) {
        Notify(SNotice::Program(qimstr::QimPCannotRename, {}, platform::MessageIcon::Exclamation));
        tree_->RestoreLabel(item);
        return;
    }
    std::string newName = name;
    if (newName.empty() || newName.size() > static_cast<std::size_t>(kMaxPath) ||
        SCheckWindowsFileName::DoesContainBadChars(newName.c_str()) || newName == "." || newName == "..") {
        SCheckWindowsFileName::ErrorMessage(window());
        tree_->RestoreLabel(item);
        return;
    }
    const std::string delimiter = session_ ? session_->Session().Delimiter() : std::string();
    if (HoldsDelimiter(newName, delimiter)) {
        Notify(SNotice::Program(qimstr::ServerNameHasDelimiter, {delimiter}, platform::MessageIcon::Exclamation));
        tree_->RestoreLabel(item);
        return;
    }
    if (!TakeKatakanaName(newName)) {
        tree_->RestoreLabel(item);
        return;
    }
    const std::string newPath = TFolderTree::PathOf(item->parent()) + "\\" + newName;
    if (newPath == oldPath) {
        tree_->RestoreLabel(item);
        return;
    }
    SImap4Request rename;
    rename.source = oldPath;
    rename.destination = newPath;
    pending_.renameFrom = oldPath;
    pending_.renameTo = newPath;
    if (!SendRequest(rename, qimimap::kOpRenameFolder)) {
        pending_.renameFrom.clear();
        pending_.renameTo.clear();
        tree_->RestoreLabel(item);
    }
}

void SQimPWindow::RemoveFolder() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item || item == tree_->Root()) return;
    if (item->childCount() > 0) {
        Notify(SNotice::Program(qimstr::FolderHoldsFolders, {}, platform::MessageIcon::Exclamation));
        return;
    }
    const std::string path = TFolderTree::PathOf(item);
    if (!SQimPTreeView::IsServerItem(item)) {
        std::string parent, name;
        SplitFilePath(path, parent, name);
        if (!SFolderCommands(platform::Dialogs(), window()).RemoveFolder(parent, name)) return;
        QTreeWidgetItem* up = item->parent();
        const bool shownGoes = IsSubfolder(path, shown_, true);
        {
            const QSignalBlocker block(tree_);
            delete item;
            tree_->setCurrentItem(up);
        }
        if (shownGoes) SelectFolder(TFolderTree::PathOf(up));
        return;
    }
    const int kind = SQimPTreeView::KindOf(item);
    if (kind == qimimap::kRootItemData) {
        Notify(SNotice::Program(qimstr::QimPCannotDelete, {}, platform::MessageIcon::Exclamation));
        return;
    }
    // What the cache knows of the folder's mail.
    bool holdsMail = false;
    if (path == shown_) {
        holdsMail = cache_.Count() > 0;
    } else if (std::string dir; cache_.CacheDirectoryOf(path, dir)) {
        std::uint64_t size = 0;
        holdsMail = platform::FileSize((dir + "/" + kCacheFileName).c_str(), &size) && size > 0;
    }
    if (holdsMail) {
        platform::MessageBoxRequest box;
        box.parent = window();
        box.caption = GetAppName();
        box.text = LoadQimString(qimstr::FolderStillHoldsMail);
        box.icon = platform::MessageIcon::Question;
        box.buttons = platform::MessageButtons::YesNo;
        box.defaultButton = 1;
        if (platform::Dialogs().MessageBox(box) != platform::MessageAnswer::Yes) return;
    }
    // A mailbox, or a folder of the plain variant without its "_mbox", is
    // deleted alone.
    const bool alone = kind == qimimap::kMailboxOnlyItemData || !SQimPTreeView::HasMailbox(item);
    SImap4Request remove;
    remove.folder = path;
    remove.destination = path;
    pending_.removed = path;
    if (!SendRequest(remove, alone ? qimimap::kOpDeleteFolderOnly : qimimap::kOpDeleteFolder)) pending_.removed.clear();
}

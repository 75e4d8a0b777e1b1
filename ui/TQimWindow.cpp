#include "ui/TQimWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScreen>
#include <QShowEvent>
#include <QTreeView>
#include <QTreeWidgetItem>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/TQimApp.h"
#include "config/QimCommandIds.h"
#include "platform/qt/QtText.h"
#include "config/QimRequestCodes.h"
#include "config/QimGlobals.h"
#include "config/QimFolderViewSettings.h"
#include "config/QimLayoutSettings.h"
#include "config/SQimSendSettingData.h"
#include "common/FilePath.h"
#include "platform/DialogService.h"
#include "archive/SArchiveFolder.h"
#include "store/QimStoreCodes.h"
#include "filters/SAutoMoveFiles.h"
#include "ui/TArchiveProgressDlg.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/TFolderTree.h"
#include "ui/HeaderListView.h"
#include "ui/THeaderListModel.h"
#include "ui/TRegisterSender.h"
#include "ui/TMailViewPane.h"
#include "ui/OpenFolder.h"
#include "ui/WaitCursor.h"

using namespace qimstore;

namespace {

// The tree's share of the width when no width is stored.
constexpr double kDefaultTreeShare = 0.22;

}  // namespace

TQimWindow::TQimWindow(const std::string& home, const SQimSendSettingData* send, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), home_(home), send_(send) {
    setObjectName("QimWindow");
    BuildPanes();
    RegisterCommands();
    // The folder of the last run, while it is still there: the tree's choice
    // of its current item shows it, so the folder is loaded once.
    tree_->Fill(home_, ReadLastFolder(home_));
    if (shown_.empty()) ShowFolder(home_);
}

TQimWindow::~TQimWindow() {
    // Steps still posted find no run.
    sort_.reset();
    // The list outlives the cache by a moment as the widgets go.
    model_->Reset(nullptr, false, 0);
}

void TQimWindow::BuildPanes() {
    tree_ = new TFolderTree(this);
    tree_->setObjectName("QimFolderTree");
    listPane_ = new QSplitter(Qt::Vertical, this);
    list_ = MakeHeaderListView(QStringLiteral("QimHeaderList"), model_, true);
    AttachHeaderListMenu(list_, commands_);
    viewer_ = new TMailViewPane;
    // The separate viewer is a window of its own, opened by the first mail shown.
    viewerWindow_ =
        PlaceListAndViewer(listPane_, list_, viewer_, GetSettingData().viewerDocking, this, QStringLiteral("QimViewerWindow"));
    addWidget(tree_);
    addWidget(listPane_);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);

    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnTreeCurrentChanged(current); });
    // After the editor has closed: questions must not open inside its commit.
    connect(
        tree_, &TFolderTree::LabelEdited, this,
        [this](QTreeWidgetItem* item, const std::string& name) { OnLabelEdited(item, name); }, Qt::QueuedConnection);
    connect(tree_, &TFolderTree::MailsDropped, this,
            [this](const std::string& source, const std::vector<int>& numbers, const std::string& destination) {
                // Moved once the drag has ended, so that its questions open outside it.
                QMetaObject::invokeMethod(
                    this, [this, source, numbers, destination] { OnMailsDropped(source, numbers, destination); },
                    Qt::QueuedConnection);
            });
    connect(list_->header(), &QHeaderView::sectionClicked, this, &TQimWindow::OnHeaderClicked);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { OnListCurrentChanged(); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TQimWindow::SelectionChanged);
    // A click makes the row current before it selects it: the mail follows
    // whichever comes last.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnListCurrentChanged(); });
    // Double-click or Enter opens the mail, and brings its window up.
    connect(list_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        const int number = model_->NumberAt(index.row());
        if (viewer_->ShownPath() != cache_.MailPath(number)) ShowMail(number);
        else if (viewerWindow_) viewerWindow_->show();
        if (viewerWindow_) {
            viewerWindow_->raise();
            viewerWindow_->activateWindow();
        }
    });
    connect(viewer_, &TMailViewPane::MailShown, this, [this] {
        if (!viewerWindow_) return;
        const std::string& subject = viewer_->ShownSubject();
        viewerWindow_->setWindowTitle(subject.empty() ? QStringLiteral("Qim") : QString::fromUtf8(subject.c_str()));
    });
    viewer_->registerSender = [this] { commands_.Execute(qimcmd::RegisterSender); };
    viewer_->openLink = OpenLinkAsConfigured;
}

std::string TQimWindow::CurrentMailPath() const {
    if (!viewer_->ShownPath().empty()) return viewer_->ShownPath();
    const std::vector<int> selected = SelectedNumbers();
    return selected.empty() ? std::string() : cache_.MailPath(selected.back());
}

void TQimWindow::RegisterCommands() {
    commands_.Add(qimcmd::DeleteMail, [this] { DeleteMails(); });
    commands_.Add(qimcmd::MarkImportant, [this] { MarkMails(SMarkKind::Important); });
    commands_.Add(qimcmd::MarkUnread, [this] { MarkMails(SMarkKind::Unread); });
    commands_.Add(qimcmd::MarkRead, [this] { MarkMails(SMarkKind::Read); });
    commands_.Add(qimcmd::ImportAsNewMail, [this] { ImportMails(); });
    commands_.Add(qimcmd::RenumberGaps, [this] { CloseGaps(); });
    commands_.Add(qimcmd::RenumberByDate, [this] { RenumberByDate(); });
    commands_.Add(qimcmd::RefreshCache, [this] { UpdateCache(); });
    commands_.Add(qimcmd::NewFolder, [this] { NewFolder(); });
    commands_.Add(qimcmd::RenameFolder, [this] { RenameFolder(); });
    commands_.Add(qimcmd::DeleteFolder, [this] { RemoveFolder(); });
    commands_.Add(qimcmd::SwapFromTo, [this] { SwapFromTo(); });
    // Not while a receive writes into the folder the archive would empty.
    commands_.AddWhen(
        qimcmd::ArchiveFolder, [this] { return !shown_.empty() && !(receiving_ && IsInboxShown()); },
        [this] { ArchiveFolder(); });
    commands_.Add(qimcmd::ShowMail, [this] {
        const QModelIndex current = list_->currentIndex();
        if (current.isValid()) ShowMail(model_->NumberAt(current.row()));
    });
    commands_.Add(qimcmd::ExtractAttachments, [this] { viewer_->TakeOutAttachments(); });
    commands_.Add(qimcmd::RegisterSender, [this] {
        if (const SQimMailData* record = model_->RecordAt(list_->currentIndex().row()))
            ::RegisterSender(this, record->header.from);
    });
    commands_.Add(qimcmd::Uudecode, [this] { viewer_->Uudecode(); });
    commands_.Add(qimcmd::NextMail, [this] { StepMail(1); });
    commands_.Add(qimcmd::PreviousMail, [this] { StepMail(-1); });
    commands_.Add(qimcmd::SelectAll, [this] { list_->selectAll(); });
    commands_.Add(qimcmd::OneShotSort, [this] { OneShotSort(); });
    commands_.Add(qimcmd::AutoSort, [this] { RunRuleSet(SSortRuleSet::Local1, shown_); });
    commands_.Add(qimcmd::AutoSort2, [this] { RunRuleSet(SSortRuleSet::Local2, shown_); });
    commands_.Add(qimcmd::AutoSortSettings, [this] { EditRuleSet(SSortRuleSet::Local1); });
    commands_.Add(qimcmd::AutoSort2Settings, [this] { EditRuleSet(SSortRuleSet::Local2); });
    commands_.Add(qimcmd::ClearSelection, [this] {
        list_->clearSelection();
        viewer_->Clear();
    });
    // The shown folder in the desktop's file manager.
    commands_.AddWhen(qimcmd::Explorer, [this] { return !shown_.empty(); }, [this] { OpenInFileManager(shown_, this); });
    RegisterSearchCommands();
}

void TQimWindow::SetReceiveHook(std::function<void()> hook) {
    receiveHook_ = std::move(hook);
    // Served from the moment there is a receive to start; never twice at once.
    commands_.Add(qimcmd::Receive, [this] {
        if (receiveHook_ && !receiving_) receiveHook_();
    });
}

SMailCommands TQimWindow::MailCommands() {
    SMailCommands commands(platform::Dialogs(), window());
    commands.SetDeleteConfirmation([this](const SQimMailData& mail, const std::string& question, bool offerAll) {
        return TDeleteConfirmDlg::Ask(this, mail, ShowsTo(), question, offerAll);
    });
    commands.SetViewerCloser([this](const std::string& path) { return CloseViewerOf(path); });
    return commands;
}

void TQimWindow::PlaceViewerWindow() {
    viewerPlaced_ = true;
    // Wholly on the screen of the main window: beside it when there is room, else over it.
    QScreen* screen = window()->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame = viewerWindow_->frameGeometry();
    const QRect main = window()->frameGeometry();
    frame.moveTopLeft(main.right() + frame.width() <= area.right() ? QPoint(main.right() + 1, main.top())
                                                                   : main.topLeft() + QPoint(40, 40));
    if (frame.right() > area.right()) frame.moveRight(area.right());
    if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
    if (frame.left() < area.left()) frame.moveLeft(area.left());
    if (frame.top() < area.top()) frame.moveTop(area.top());
    viewerWindow_->move(frame.topLeft());
}

bool TQimWindow::CloseViewerOf(const std::string& mailPath) {
    if (viewer_->ShownPath().empty() || viewer_->ShownPath() != mailPath) return false;
    viewer_->Clear();
    if (viewerWindow_) viewerWindow_->hide();
    return true;
}

// ---- The shown folder ----

bool TQimWindow::IsInboxShown() const { return IsSameDir(shown_, home_); }

bool TQimWindow::AutomaticTo() const {
    if (!send_) return false;
    return (send_->sentMail.showTo && send_->sentMail.Matches(shown_)) ||
           (send_->draft.showTo && send_->draft.Matches(shown_));
}

bool TQimWindow::ShowsTo() const { return fromTo_.ShowsTo(); }

void TQimWindow::ShowFolder(const std::string& folder) {
    if (folder != shown_) TakeSortOf(folder);
    shown_ = folder;
    if (QTreeWidgetItem* item = tree_->ItemOf(folder); item && tree_->currentItem() != item) {
        const QSignalBlocker block(tree_);
        tree_->setCurrentItem(item);
    }
    Refresh();
}

void TQimWindow::Refresh() {
    WaitCursor wait;
    viewer_->Clear();
    cache_.SetFolder(shown_);
    FillList();
}

void TQimWindow::FillList() {
    fromTo_.Refresh(AutomaticTo());
    model_->Reset(&cache_, IsInboxShown(), firstNew_);
    model_->SetShowsTo(fromTo_.ShowsTo());
    // The folder's order outlives a reload (a delete, a move, a receive).
    if (sortDirection_ != kDirNone) {
        model_->Comparator().SetDirection(sortColumn_, sortDirection_);
        model_->SortBy(sortColumn_);
    }
    ShowSortIndicator();
    if (model_->rowCount() > 0) list_->scrollToTop();
    // A reset model drops the selection without a word: the commands on it must hear.
    emit SelectionChanged();
}

void TQimWindow::TakeSortOf(const std::string& folder) {
    sortColumn_ = 0;
    sortDirection_ = kDirNone;
    if (!ReadFolderSort(home_, folder, sortColumn_, sortDirection_) &&
        !DefaultSortOf(GetSettingData().defaultSort, IsSameDir(folder, home_), sortColumn_, sortDirection_))
        sortDirection_ = kDirNone;
}

void TQimWindow::ShowSortIndicator() {
    QHeaderView* header = list_->header();
    header->setSortIndicatorShown(sortDirection_ != kDirNone);
    if (sortDirection_ == kDirNone) return;
    const bool descending = sortDirection_ == kDirDescending || sortDirection_ == kDirThreadDescending;
    header->setSortIndicator(sortColumn_, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TQimWindow::ReloadFolder(const std::string& folder) {
    if (shown_.empty() || !IsSameDir(folder, shown_)) return;
    // New mail, or a sent copy: the mail being read stays on screen.
    const int current = list_->currentIndex().isValid() ? model_->NumberAt(list_->currentIndex().row()) : 0;
    const bool showing = !viewer_->ShownPath().empty();
    Refresh();
    const int row = current > 0 ? model_->RowOf(current) : -1;
    if (row < 0) return;
    if (showing) SelectAndShow(row);
    else list_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
}

void TQimWindow::OnTreeCurrentChanged(QTreeWidgetItem* current) {
    const std::string path = TFolderTree::PathOf(current);
    if (!path.empty() && path != shown_) ShowFolder(path);
}

void TQimWindow::OnHeaderClicked(int column) {
    model_->Comparator().StepDirection(column);
    sortColumn_ = column;
    sortDirection_ = model_->Comparator().Direction(column);
    {
        WaitCursor wait;
        model_->SortBy(column);
    }
    ShowSortIndicator();
    WriteFolderSort(home_, shown_, sortColumn_, sortDirection_);
}

// ---- Selection and the viewer ----

std::vector<int> TQimWindow::SelectedNumbers() const { return SelectedHeaderNumbers(*list_, *model_); }

void TQimWindow::SelectNumbers(const std::vector<int>& numbers) { SelectHeaderNumbers(*list_, *model_, numbers); }

void TQimWindow::OnListCurrentChanged() {
    if (showingMail_) return;
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || !list_->selectionModel()->isRowSelected(current.row(), QModelIndex())) return;
    const int number = model_->NumberAt(current.row());
    if (viewer_->ShownPath() != cache_.MailPath(number)) ShowMail(number);
}

bool TQimWindow::ShowMail(int number) {
    if (number <= 0) return false;
    if (!viewer_->ShowMail(cache_.MailPath(number), number, shown_)) return false;
    if (viewerWindow_) {
        const bool first = !viewerWindow_->isVisible() && !viewerPlaced_;
        viewerWindow_->show();
        if (first) PlaceViewerWindow();
        viewerWindow_->raise();
    }
    MailCommands().MarkShownRead(cache_, number);
    model_->RefreshState(number);
    return true;
}

void TQimWindow::StepMail(int delta) {
    const int row = list_->currentIndex().isValid() ? list_->currentIndex().row() + delta : 0;
    if (row < 0 || row >= model_->rowCount()) return;
    showingMail_ = true;
    list_->setCurrentIndex(model_->index(row, 0));
    showingMail_ = false;
    ShowMail(model_->NumberAt(row));
}

// ---- Mail commands ----

void TQimWindow::DeleteMails() {
    const std::vector<int> selected = SelectedNumbers();
    if (selected.empty()) return;
    const int row = FirstSelectedRow();
    std::vector<int> deleted;
    {
        WaitCursor wait;
        deleted = MailCommands().DeleteMails(cache_, selected);
    }
    if (deleted.empty()) return;
    Refresh();
    ShowRowAfterRemoval(row);
}

int TQimWindow::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

void TQimWindow::ShowRowAfterRemoval(int row) {
    // The mail that took the place of the first one that went, else the last.
    const int count = model_->rowCount();
    if (row < 0 || count == 0) return;
    SelectAndShow(std::min(row, count - 1));
}

void TQimWindow::SelectAndShow(int row) {
    const QModelIndex index = model_->index(row, 0);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
    // The selection shows the mail unless the window is busy showing one already.
    if (viewer_->ShownPath().empty()) ShowMail(model_->NumberAt(row));
}

std::vector<int> TQimWindow::MoveMailsTo(const std::vector<int>& numbers, const std::string& destination) {
    std::vector<int> moved;
    if (numbers.empty()) return moved;
    const int row = FirstSelectedRow();
    {
        WaitCursor wait;
        moved = MailCommands().MoveMails(cache_, numbers, destination);
    }
    // The source's records may have gone even when nothing moved (files that
    // had vanished), so the list is brought in line either way.
    Refresh();
    if (!moved.empty()) ShowRowAfterRemoval(row);
    return moved;
}

void TQimWindow::OnMailsDropped(const std::string& source, const std::vector<int>& numbers,
                                const std::string& destination) {
    // Only a drag from this list, of the folder it still shows.
    if (source.empty() || !IsSameDir(source, shown_)) return;
    MoveMailsTo(numbers, destination);
}

void TQimWindow::MarkMails(SMarkKind kind) {
    const std::vector<int> changed = MailCommands().MarkMails(cache_, SelectedNumbers(), kind);
    for (int number : changed) model_->RefreshState(number);
}

void TQimWindow::ImportMails() {
    const int first = MailCommands().ImportWithDialog(home_);
    if (first <= 0) return;
    SetFirstNew(first);
    Refresh();
}

void TQimWindow::CloseGaps() {
    if (receiving_ && IsInboxShown()) return;
    bool changed = false;
    {
        WaitCursor wait;
        changed = MailCommands().CloseGaps(cache_);
    }
    if (changed) Refresh();
}

void TQimWindow::RenumberByDate() {
    if (receiving_ && IsInboxShown()) return;
    bool changed = false;
    {
        WaitCursor wait;
        changed = MailCommands().RenumberByDate(cache_);
    }
    if (changed) Refresh();
}

void TQimWindow::UpdateCache() {
    {
        WaitCursor wait;
        viewer_->Clear();
        cache_.SetFolder(shown_);
        MailCommands().UpdateCache(cache_);
    }
    FillList();
}

void TQimWindow::ArchiveFolder() {
    if (receiving_ && IsInboxShown()) return;
    TArchiveProgressDlg progress(window());
    SArchiveFolder command(progress);
    const SArchiveFolder::Result result = command.Run(shown_);
    progress.hide();
    if (result == SArchiveFolder::Result::Archived || result == SArchiveFolder::Result::KeptMails) {
        // The archive is a new file of the folder, and the cache was rebuilt;
        // the viewer lets go of a mail that went.
        Refresh();
    }
}

void TQimWindow::SwapFromTo() {
    fromTo_.Toggle();
    model_->SetShowsTo(fromTo_.ShowsTo());
}

// ---- Receiving ----

int TQimWindow::BeginReceive() {
    // Not beside a receive: a rerun takes up what is left.
    if (sort_) sort_->Stop();
    SQimFolder inbox(home_);
    receiving_ = true;
    SetFirstNew(inbox.LastNumber() + 1);
    return firstNew_;
}

bool TQimWindow::EndReceive() {
    bool arrived = false;
    {
        WaitCursor wait;
        arrived = MailCommands().FinishReceive(home_, firstNew_);
    }
    ReceiveEnded(arrived);
    return arrived;
}

void TQimWindow::ReceiveEnded(bool arrived) {
    receiving_ = false;
    if (arrived) ReloadFolder(home_);
}

void TQimWindow::SetFirstNew(int firstNew) {
    firstNew_ = firstNew;
    model_->RefreshStates(firstNew_);
}

// ---- Folder commands ----

void TQimWindow::NewFolder() {
    QTreeWidgetItem* parent = tree_->currentItem();
    if (!parent) parent = tree_->Root();
    if (!parent) return;
    const std::string path = SFolderCommands(platform::Dialogs(), window()).NewFolder(TFolderTree::PathOf(parent));
    if (!path.empty()) tree_->AddFolder(parent, path);
}

void TQimWindow::RenameFolder() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item || item == tree_->Root()) return;
    tree_->editItem(item, 0);
}

void TQimWindow::OnLabelEdited(QTreeWidgetItem* item, const std::string& name) {
    // The node may have gone while the edit waited.
    if (!tree_->ItemOf(TFolderTree::PathOf(item))) return;
    const std::string moved = tree_->RenameLocalFolder(item, name, shown_);
    if (!moved.empty()) ShowFolder(moved);
}

void TQimWindow::RemoveFolder() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item || item == tree_->Root()) return;
    const std::string path = TFolderTree::PathOf(item);
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
    if (shownGoes) ShowFolder(TFolderTree::PathOf(up));
}

// ---- Layout ----

void TQimWindow::showEvent(QShowEvent* event) {
    QSplitter::showEvent(event);
    if (!layoutRestored_) {
        layoutRestored_ = true;
        RestoreLayout();
    }
}

void TQimWindow::RestoreLayout() {
    const int total = std::max(width(), 100);
    int treeWidth = ReadTreeWindowWidth();
    if (treeWidth <= 0 || treeWidth >= total) treeWidth = static_cast<int>(total * kDefaultTreeShare);
    setSizes({treeWidth, std::max(total - treeWidth - handleWidth(), 1)});

    int widths[kHeaderColumns];
    ReadColumnWidths(widths, std::max(list_->viewport()->width(), total));
    for (int c = 0; c < kHeaderColumns; ++c) list_->setColumnWidth(c, widths[c]);

    if (viewerWindow_) return;  // the list has its pane to itself
    const int height = std::max(listPane_->height(), 100);
    const double share = ReadViewerShare();
    const int viewerHeight = static_cast<int>(height * share);
    const int listHeight = std::max(height - viewerHeight, 1);
    if (listPane_->indexOf(viewer_) == 0)
        listPane_->setSizes({viewerHeight, listHeight});
    else
        listPane_->setSizes({listHeight, viewerHeight});
}

void TQimWindow::StoreLayout() const {
    WriteLastFolder(home_, shown_);
    WriteTreeWindowWidth(tree_->width());
    int widths[kHeaderColumns];
    for (int c = 0; c < kHeaderColumns; ++c) widths[c] = list_->columnWidth(c);
    WriteColumnWidths(widths);
    // A viewer of its own window leaves the stored docked heights alone.
    if (!viewerWindow_) WritePaneHeights(list_->height(), viewer_->isVisible() ? viewer_->height() : 0);
}

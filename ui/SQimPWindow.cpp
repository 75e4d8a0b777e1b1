#include "ui/SQimPWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScreen>
#include <QShowEvent>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "app/TQimApp.h"
#include "archive/SArchiveFolder.h"
#include "common/AppNames.h"
#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimLayoutSettings.h"
#include "config/QimNotices.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "platform/FileSystem.h"
#include "platform/qt/QtText.h"
#include "store/QimStoreCodes.h"
#include "ui/SImap4CommunDlg.h"
#include "ui/SQimPTreeView.h"
#include "ui/SSetWarnSizeAFolderDlg.h"
#include "ui/TArchiveProgressDlg.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/HeaderListView.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"
#include "ui/TFindMailDlg.h"
#include "ui/TRegisterSender.h"

using namespace qimstore;

namespace {

constexpr double kDefaultTreeShare = 0.22;

}  // namespace

SQimPWindow::SQimPWindow(SUserInetData& inet, const SSettingData& settings, const std::string& home, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      inet_(inet),
      settings_(settings),
      home_(home),
      tempDir_(platform::TempDirectory()) {
    setObjectName("QimPWindow");
    viewFile_ = std::make_unique<SQimTmpFilePath>(tempDir_.c_str());
    qimpSettings_.Read();
    BuildPanes();
    RegisterCommands();
    tree_->SetHiddenFolder(cache_.CacheRoot());
    tree_->FillLocal(home_);
    RebuildServerTree();
    // The INBOX is shown from the start; its headers come with the first list.
    {
        const QSignalBlocker block(tree_);
        tree_->setCurrentItem(tree_->ServerRoot());
    }
    shown_ = qimimap::kQimPRoot;
    TakeSortOf(shown_);
    cache_.SetFolder(shown_);
    ShowList(true);
}

SQimPWindow::~SQimPWindow() {
    // The list outlives the cache by a moment as the widgets go; the session
    // says its LOGOUT through its own window.
    model_->Reset(nullptr, false, 0);
    session_.reset();
}

void SQimPWindow::BuildPanes() {
    tree_ = new SQimPTreeView(this);
    tree_->setObjectName("QimPFolderTree");
    listPane_ = new QSplitter(Qt::Vertical, this);
    list_ = MakeHeaderListView(QStringLiteral("QimPHeaderList"), model_, false);
    AttachHeaderListMenu(list_, commands_);
    viewer_ = new TMailViewPane;
    // The separate viewer is a window of its own, opened by the first mail shown.
    viewerWindow_ =
        PlaceListAndViewer(listPane_, list_, viewer_, settings_.viewerDocking, this, QStringLiteral("QimPViewerWindow"));
    addWidget(tree_);
    addWidget(listPane_);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
        const std::string path = TFolderTree::PathOf(current);
        if (path.empty() || path == shown_) return;
        // A command over the list's mails keeps the list it started on.
        if (operations_.InProgress()) {
            const QSignalBlocker block(tree_);
            tree_->setCurrentItem(previous);
            return;
        }
        SelectFolder(path);
    });
    connect(
        tree_, &TFolderTree::LabelEdited, this,
        [this](QTreeWidgetItem* item, const std::string& name) { OnLabelEdited(item, name); }, Qt::QueuedConnection);
    connect(tree_, &TFolderTree::MailsDropped, this,
            [this](const std::string& source, const std::vector<int>&, const std::string& destination) {
                // Ctrl held as the mails were let go copies them.
                const bool copy = (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) != 0;
                QMetaObject::invokeMethod(
                    this, [this, source, destination, copy] { OnMailsDropped(source, destination, copy); },
                    Qt::QueuedConnection);
            });
    connect(list_->header(), &QHeaderView::sectionClicked, this, &SQimPWindow::OnHeaderClicked);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { OnListCurrentChanged(); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SQimPWindow::SelectionChanged);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnListCurrentChanged(); });
    connect(list_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        ShowMail(model_->NumberAt(index.row()));
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

void SQimPWindow::RegisterCommands() {
    const auto serverShown = [this] { return IsServerFolderShown(); };
    const auto localShown = [this] { return !IsServerFolderShown(); };
    const auto mailSelected = [this] { return !SelectedNumbers().empty(); };
    // The first time the start; then the INBOX's headers anew.
    commands_.Add(qimcmd::Receive, [this] {
        if (!started_) {
            StartUp();
            return;
        }
        cache_.ResetOf(qimimap::kQimPRoot);
        SelectFolder(qimimap::kQimPRoot);
    });
    commands_.Add(qimcmd::NewFolder, [this] { NewFolder(); });
    commands_.Add(qimcmd::RenameFolder, [this] { RenameFolder(); });
    commands_.Add(qimcmd::DeleteFolder, [this] { RemoveFolder(); });
    commands_.AddWhen(qimcmd::DeleteMail, mailSelected, [this] { DeleteMails(); });
    commands_.AddWhen(qimcmd::MarkUnread, mailSelected, [this] { MarkMails(false); });
    commands_.AddWhen(qimcmd::MarkRead, mailSelected, [this] { MarkMails(true); });
    // Only the read mark travels to the server: importance is a local folder's.
    commands_.AddWhen(qimcmd::MarkImportant, localShown, [this] { MarkLocalMails(static_cast<int>(SMarkKind::Important)); });
    commands_.AddWhen(qimcmd::RenumberGaps, localShown, [this] {
        SMailCommands commands(platform::Dialogs(), window());
        if (commands.CloseGaps(cache_)) RefreshList();
    });
    commands_.AddWhen(qimcmd::RenumberByDate, localShown, [this] {
        SMailCommands commands(platform::Dialogs(), window());
        if (commands.RenumberByDate(cache_)) RefreshList();
    });
    commands_.Add(qimcmd::RefreshCache, [this] {
        if (IsServerFolderShown()) {
            ServerFolderChanged(RefOf(shown_));
            return;
        }
        viewer_->Clear();
        SMailCommands(platform::Dialogs(), window()).UpdateCache(cache_);
        ShowList(false);
    });
    commands_.AddWhen(qimcmd::ArchiveFolder, localShown, [this] {
        TArchiveProgressDlg progress(window());
        SArchiveFolder command(progress);
        const SArchiveFolder::Result result = command.Run(shown_);
        progress.hide();
        if (result == SArchiveFolder::Result::Archived || result == SArchiveFolder::Result::KeptMails) RefreshList();
    });
    commands_.Add(qimcmd::ImportAsNewMail, [this] {
        if (SMailCommands(platform::Dialogs(), window()).ImportWithDialog(home_) > 0) LocalFolderChanged(home_);
    });
    commands_.Add(qimcmd::SwapFromTo, [this] {
        fromTo_.Toggle();
        model_->SetShowsTo(fromTo_.ShowsTo());
    });
    commands_.Add(qimcmd::ShowMail, [this] {
        const QModelIndex current = list_->currentIndex();
        if (current.isValid()) ShowMail(model_->NumberAt(current.row()));
    });
    const auto step = [this](int delta) {
        const int row = list_->currentIndex().isValid() ? list_->currentIndex().row() + delta : 0;
        if (row < 0 || row >= model_->rowCount()) return;
        showingMail_ = true;
        list_->setCurrentIndex(model_->index(row, 0));
        showingMail_ = false;
        ShowMail(model_->NumberAt(row));
    };
    commands_.Add(qimcmd::NextMail, [step] { step(1); });
    commands_.Add(qimcmd::PreviousMail, [step] { step(-1); });
    commands_.Add(qimcmd::SelectAll, [this] { list_->selectAll(); });
    commands_.Add(qimcmd::ClearSelection, [this] {
        list_->clearSelection();
        viewer_->Clear();
    });
    commands_.Add(qimcmd::ExtractAttachments, [this] { viewer_->TakeOutAttachments(); });
    commands_.Add(qimcmd::Uudecode, [this] { viewer_->Uudecode(); });
    commands_.Add(qimcmd::RegisterSender, [this] {
        if (const SQimMailData* record = model_->RecordAt(list_->currentIndex().row()))
            ::RegisterSender(this, record->header.from);
    });
    // The search of the server (the local folders' search is not the server's).
    for (const bool all : {false, true})
        commands_.AddWhen(all ? qimcmd::FindAllAndMark : qimcmd::FindInFolder, serverShown, [this, all] {
            TFindMailDlg dialog(this);
            if (dialog.exec() == QDialog::Accepted) SearchShownFolder(dialog.Condition(), all);
        });
    commands_.AddWhen(
        qimcmd::FindNext, [this] { return IsServerFolderShown() && !found_.empty(); },
        [this] {
            // The next mail found after the current one, in list order.
            const int current = list_->currentIndex().isValid() ? list_->currentIndex().row() : -1;
            for (int row = current + 1; row < model_->rowCount(); ++row) {
                if (std::find(found_.begin(), found_.end(), model_->NumberAt(row)) == found_.end()) continue;
                list_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                list_->scrollTo(model_->index(row, 0));
                return;
            }
            platform::Dialogs().Beep(platform::BeepKind::Exclamation);
        });

    // The settings kept on the server.
    commands_.Add(qimcmd::SettingsToServer, [this] { QimPSettingsMail().Put(*this); });
    commands_.Add(qimcmd::SettingsFromServer, [this] { QimPSettingsMail().Fetch(*this); });
    commands_.Add(qimcmd::BackupSettingsOnServer, [this] { QimPSettingsMail().SaveToServerFolder(*this); });
    commands_.Add(qimcmd::BackupSettingsLocally, [this] { QimPSettingsMail().SaveLocally(*this); });
    commands_.Add(qimcmd::SettingsOnServer, [this] { QimPSettingsMail().EditOptions(*this); });
    commands_.Add(
        qimcmd::ShowLocalMailSize,
        [this] {
            qimpSettings_.showLocalMailSize = !qimpSettings_.showLocalMailSize;
            qimpSettings_.Write();
            MarkSettingsChanged();
            if (!IsServerFolderShown()) ShowList(false);
        },
        [this] { return qimpSettings_.showLocalMailSize; });
    RegisterSortCommands();
    commands_.Add(qimcmd::MailVolumeWarning, [this] {
        SSetWarnSizeAFolderDlg dialog(this, qimpSettings_);
        if (dialog.exec() != QDialog::Accepted) return;
        dialog.Collect(qimpSettings_);
        qimpSettings_.Write();
        MarkSettingsChanged();
    });
}

// ---- The session ----

std::unique_ptr<SImap4CommunDlg> SQimPWindow::MakeSession() {
    return std::make_unique<SImap4CommunDlg>(window(), inet_, settings_);
}

SImap4CommunDlg& SQimPWindow::Session() {
    if (!session_) {
        session_ = MakeSession();
        session_->SetCompletionHandler(
            [this](int operation, int result, SImap4Target, int) { OnCompleted(operation, result); });
    }
    return *session_;
}

bool SQimPWindow::SendRequest(const SImap4Request& request, int operation) {
    SImap4CommunDlg& session = Session();
    if (session.Session().IsBusy()) return false;
    const bool ctrl = (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
    session.Session().SetStartingUp(startingUp_, ctrl);
    return session.Request(request, operation);
}

void SQimPWindow::StartUp() {
    started_ = true;
    startingUp_ = true;
    if (!QimPSettingsMail().OnStart(*this)) ListFolders();
}

void SQimPWindow::ListFolders() {
    SImap4Request request;
    request.listFile = SQimPFolderList::Path();
    request.folder = qimimap::kQimPRoot;
    request.cache = &cache_;
    if (!SendRequest(request, qimimap::kOpListFolders)) startingUp_ = false;
}

void SQimPWindow::OnCompleted(int operation, int result) {
    const bool ok = result != qimimap::kResultFailure;
    // The settings commands' own requests.
    if (pending_.settingsOperation == operation) {
        pending_.settingsOperation = 0;
        QimPSettingsMail().Completed(*this, operation, result);
        return;
    }
    if (operations_.Completed(operation, result)) {
        OnSortOperationCompleted(ok);
        return;
    }
    switch (operation) {
    case qimimap::kOpCreateFolder:
        if (ok) ListFolders();
        break;
    case qimimap::kOpListFolders:
        if (ok) {
            RebuildServerTree();
            // The first node: the INBOX.
            if (QTreeWidgetItem* root = tree_->ServerRoot()) {
                tree_->setCurrentItem(root);
                if (shown_ == qimimap::kQimPRoot && pending_.headers.empty()) SelectFolder(qimimap::kQimPRoot);
            }
        }
        // A start-up that goes on waits for the INBOX's headers.
        if (pending_.headers.empty()) startingUp_ = false;
        break;
    case qimimap::kOpFetchHeaders:
    case qimimap::kOpFetchRecentHeaders:
        OnHeadersCompleted(ok);
        break;
    case qimimap::kOpRenameFolder:
        if (ok) {
            cache_.RenameDirectory(pending_.renameFrom, pending_.renameTo);
            const bool shownMoves =
                shown_ == pending_.renameFrom || shown_.rfind(pending_.renameFrom + "\\", 0) == 0;
            if (shownMoves) shown_.clear();
            ListFolders();
        } else {
            Notify(SNotice::Program(qimstr::CannotRenameServerFolder));
            if (QTreeWidgetItem* item = tree_->ServerItemOf(pending_.renameFrom)) tree_->RestoreLabel(item);
        }
        pending_.renameFrom.clear();
        pending_.renameTo.clear();
        break;
    case qimimap::kOpDeleteFolder:
    case qimimap::kOpDeleteFolderOnly:
        if (ok) {
            cache_.RemoveDirectory(pending_.removed);
            if (shown_ == pending_.removed) shown_.clear();
            ListFolders();
        } else {
            Notify(SNotice::Program(qimstr::CannotDeleteServerFolder));
        }
        pending_.removed.clear();
        break;
    case qimimap::kOpFetchBody:
        OnViewCompleted(ok);
        break;
    case qimimap::kOpLoginResult:
        // The main window learns the login's result, as a receive tells it.
        if (TQimApp* app = TQimApp::Instance();
            app && (result == qimimap::kResultLoggedIn || result == qimimap::kResultLoginFailed))
            app->Login().Report(result);
        break;
    case qimimap::kOpNoRecentMail:
        if (startingUp_ && shown_ == qimimap::kQimPRoot) {
            if (settings_.noNewMailBeep) platform::Dialogs().Beep(platform::BeepKind::Exclamation);
            Notify(SNotice::Program(qimstr::NoNewMail, {}, platform::MessageIcon::Information));
        }
        startingUp_ = false;
        break;
    case qimimap::kOpNewMail: {
        // Mail this window is putting on the server is no news.
        if (pending_.appended || operations_.InProgress()) break;
        const std::string sound = ReadNewMailSound();
        if (!sound.empty()) platform::Dialogs().PlaySound(sound);
        if (!startingUp_ && newMailCount_++ == 0)
            Notify(SNotice::Program(qimstr::NewMailArrived, {}, platform::MessageIcon::Information));
        break;
    }
    case qimimap::kOpAppendSent:
        if (pending_.appended) {
            const auto done = std::move(pending_.appended);
            pending_.appended = nullptr;
            done(ok);
        }
        break;
    case qimimap::kOpSearch:
        OnSearchCompleted(ok);
        break;
    default:
        break;
    }
}

// ---- The settings host ----

bool SQimPWindow::Request(const SImap4Request& request, int operation) {
    if (!SendRequest(request, operation)) return false;
    // Its completion goes back to the settings commands.
    pending_.settingsOperation = operation;
    return true;
}

std::string SQimPWindow::SettingsMailFile() {
    if (!settingsMailFile_) settingsMailFile_ = std::make_unique<SQimTmpFilePath>(tempDir_.c_str());
    return settingsMailFile_->Path();
}

bool SQimPWindow::AreSettingsChanged() const { return qimpSettingsChanged_ || IsSettingsChanged(); }

void SQimPWindow::SettingsReread() {
    qimpSettings_.Read();
    if (!IsServerFolderShown()) ShowList(false);
}

void SQimPWindow::PostCommand(int id) {
    if (postCommand) {
        postCommand(id);
        return;
    }
    QMetaObject::invokeMethod(this, [this, id] { commands_.Execute(id); }, Qt::QueuedConnection);
}

// ---- Closing and layout ----

bool SQimPWindow::MayClose() { return QimPSettingsMail().OnCloseRequest(*this); }

void SQimPWindow::Closing() {
    QimPSettingsMail().OnClosed(*this);
    if (qimpSettingsChanged_) qimpSettings_.Write();
}

void SQimPWindow::showEvent(QShowEvent* event) {
    QSplitter::showEvent(event);
    if (layoutRestored_) return;
    layoutRestored_ = true;
    const int total = std::max(width(), 100);
    int treeWidth = ReadTreeWindowWidth();
    if (treeWidth <= 0 || treeWidth >= total) treeWidth = static_cast<int>(total * kDefaultTreeShare);
    setSizes({treeWidth, std::max(total - treeWidth - handleWidth(), 1)});
    int widths[kHeaderColumns];
    ReadColumnWidths(widths, std::max(list_->viewport()->width(), total));
    for (int c = 0; c < kHeaderColumns; ++c) list_->setColumnWidth(c, widths[c]);
    if (viewerWindow_) return;
    const int height = std::max(listPane_->height(), 100);
    const int viewerHeight = static_cast<int>(height * ReadViewerShare());
    const int listHeight = std::max(height - viewerHeight, 1);
    if (listPane_->indexOf(viewer_) == 0) listPane_->setSizes({viewerHeight, listHeight});
    else listPane_->setSizes({listHeight, viewerHeight});
}

void SQimPWindow::StoreLayout() const {
    WriteTreeWindowWidth(tree_->width());
    int widths[kHeaderColumns];
    for (int c = 0; c < kHeaderColumns; ++c) widths[c] = list_->columnWidth(c);
    WriteColumnWidths(widths);
    if (!viewerWindow_) WritePaneHeights(list_->height(), viewer_->isVisible() ? viewer_->height() : 0);
}

void SQimPWindow::PlaceViewerWindow() {
    viewerPlaced_ = true;
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

void SQimPWindow::ShowViewerWindow() {
    if (!viewerWindow_) return;
    const bool first = !viewerWindow_->isVisible() && !viewerPlaced_;
    viewerWindow_->show();
    if (first) PlaceViewerWindow();
    viewerWindow_->raise();
}

// ---- The list's selection ----

int SQimPWindow::ItemCount() const { return model_->rowCount(); }

bool SQimPWindow::IsSelected(int position) const {
    return list_->selectionModel()->isRowSelected(position, QModelIndex());
}

int SQimPWindow::NumberAt(int position) const { return model_->NumberAt(position); }

unsigned char SQimPWindow::MarkAt(int position) const {
    const int number = model_->NumberAt(position);
    return number > 0 ? const_cast<SQimPMemCacheFolder&>(cache_).GetMarks(number) : kMarkError;
}

void SQimPWindow::Notify(const SNotice& notice) { ShowNotice(notice, window()); }

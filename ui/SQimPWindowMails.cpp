// The mails of the server-folder window: viewing, moving and copying,
// deleting, marks and the search, with what the operation objects ask of
// the window.
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "common/AppNames.h"
#include "common/FilePath.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SMailCommands.h"
#include "ui/SImap4CommunDlg.h"
#include "ui/SQimPTreeView.h"
#include "ui/SQimPWindow.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/HeaderListView.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"

using namespace qimstore;

// ---- Selection and the viewer ----

std::vector<int> SQimPWindow::SelectedNumbers() const { return SelectedHeaderNumbers(*list_, *model_); }

void SQimPWindow::SelectNumbers(const std::vector<int>& numbers) { SelectHeaderNumbers(*list_, *model_, numbers); }

bool SQimPWindow::ShowsTo() const { return fromTo_.ShowsTo(); }

void SQimPWindow::OnListCurrentChanged() {
    if (showingMail_) return;
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || !list_->selectionModel()->isRowSelected(current.row(), QModelIndex())) return;
    // A server mail is fetched for the viewer only when it alone is chosen,
    // not at every step of a selection being made.
    if (IsServerFolderShown() && list_->selectionModel()->selectedRows().size() != 1) return;
    ShowMail(model_->NumberAt(current.row()));
}

bool SQimPWindow::ShowMail(int number) {
    if (number <= 0) return false;
    if (!IsServerFolderShown()) {
        if (viewer_->ShownPath() != cache_.MailPath(number) &&
            !viewer_->ShowMail(cache_.MailPath(number), number, shown_))
            return false;
        ShowViewerWindow();
        SMailCommands(platform::Dialogs(), window()).MarkShownRead(cache_, number);
        model_->RefreshState(number);
        return true;
    }
    QTreeWidgetItem* item = tree_->AnyItemOf(shown_);
    if (!item) return false;
    const std::string mailbox = MailboxOf(item);
    if (viewed_.number == number && viewed_.mailbox == mailbox && !viewer_->ShownPath().empty()) {
        ShowViewerWindow();
        return true;
    }
    // The file the viewer shows is fetched anew.
    viewer_->Clear();
    viewed_ = Shown();
    SImap4Request request;
    request.folder = mailbox;
    request.first = number;
    request.mailFile = viewFile_->Path();
    pending_.viewNumber = number;
    pending_.viewMailbox = mailbox;
    pending_.followUp = 0;
    return SendRequest(request, qimimap::kOpFetchBody);
}

bool SQimPWindow::FetchForCommand(int command) {
    const std::vector<int> selected = SelectedNumbers();
    if (selected.empty() || !IsServerFolderShown()) return false;
    if (!ShowMail(selected.back())) return false;
    if (viewed_.number == selected.back()) {
        PostCommand(command);  // it is in the viewer already
        return true;
    }
    pending_.followUp = command;
    return true;
}

void SQimPWindow::OnViewCompleted(bool ok) {
    const int number = pending_.viewNumber;
    const std::string mailbox = pending_.viewMailbox;
    const int followUp = pending_.followUp;
    pending_.viewNumber = 0;
    pending_.followUp = 0;
    if (!ok) {
        Notify(SNotice::Program(qimstr::CannotFetchMail));
        return;
    }
    // The list may have moved on while the mail came.
    QTreeWidgetItem* item = tree_->AnyItemOf(shown_);
    if (!item || MailboxOf(item) != mailbox) return;
    if (!viewer_->ShowMail(viewFile_->Path(), number, shown_)) return;
    viewed_ = {mailbox, number};
    ShowViewerWindow();
    // The server marked it read as it gave it out.
    cache_.SetMarks(number, kMarkRead);
    model_->RefreshState(number);
    if (followUp) PostCommand(followUp);
}

std::string SQimPWindow::CurrentMailPath() const {
    if (!viewer_->ShownPath().empty()) return viewer_->ShownPath();
    if (IsServerFolderShown()) return std::string();
    const std::vector<int> selected = SelectedNumbers();
    return selected.empty() ? std::string() : cache_.MailPath(selected.back());
}

void SQimPWindow::ReleaseViewers(const std::string& mailbox, int first, int last) {
    if (viewed_.mailbox != mailbox || viewed_.number < first || viewed_.number > last) return;
    viewer_->Clear();
    if (viewerWindow_) viewerWindow_->hide();
    viewFile_->Delete();
    viewed_ = Shown();
}

// ---- Moving and copying ----

bool SQimPWindow::TransferTo(const std::string& destination, bool copy) {
    if (destination.empty() || destination == shown_ || SelectedNumbers().empty()) return false;
    const SQimPFolderRef source = RefOf(shown_);
    const SQimPFolderRef target = RefOf(destination);
    if (!source.server && !target.server) {
        if (copy) CopyLocalMails(destination);
        else MoveLocalMails(destination);
        return true;
    }
    return operations_.Transfer(source, target, copy);
}

void SQimPWindow::OnMailsDropped(const std::string& source, const std::string& destination, bool copy) {
    // Only a drag from this list, of the folder it still shows.
    if (source.empty() || source != shown_) return;
    TransferTo(destination, copy);
}

void SQimPWindow::MoveLocalMails(const std::string& destination) {
    SMailCommands commands(platform::Dialogs(), window());
    commands.SetViewerCloser([this](const std::string& path) {
        if (viewer_->ShownPath() != path) return false;
        viewer_->Clear();
        return true;
    });
    commands.MoveMails(cache_, SelectedNumbers(), destination);
    RefreshList();
}

void SQimPWindow::CopyLocalMails(const std::string& destination) {
    const std::vector<int> selected = SelectedNumbers();
    SQimCacheFolder target(destination);
    if (!target.BeginBatch()) {
        Notify(SNotice::Program(qimstr::CacheCannotOpen));
        return;
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (!target.BatchCopy(cache_.MailPath(*it).c_str())) {
            Notify(SNotice::Program(qimstr::CannotCopyMail));
            break;
        }
    }
    target.EndBatch();
}

// ---- Deleting ----

void SQimPWindow::DeleteMails() {
    if (IsServerFolderShown()) {
        operations_.Delete(RefOf(shown_), true);
        return;
    }
    const std::vector<int> selected = SelectedNumbers();
    if (selected.empty()) return;
    SMailCommands commands(platform::Dialogs(), window());
    commands.SetDeleteConfirmation([this](const SQimMailData& mail, const std::string& question, bool offerAll) {
        return TDeleteConfirmDlg::Ask(this, mail, ShowsTo(), question, offerAll);
    });
    commands.SetViewerCloser([this](const std::string& path) {
        if (viewer_->ShownPath() != path) return false;
        viewer_->Clear();
        return true;
    });
    if (!commands.DeleteMails(cache_, selected).empty()) RefreshList();
}

SDeleteAnswer SQimPWindow::AskDelete(int number) {
    SQimMailData mail;
    mail.number = number;
    if (const SQimMailData* record = model_->RecordAt(model_->RowOf(number))) mail = *record;
    return TDeleteConfirmDlg::Ask(this, mail, ShowsTo(), LoadQimString(qimstr::DeleteThisMail), true);
}

bool SQimPWindow::ConfirmDeleteAll() {
    platform::MessageBoxRequest box;
    box.parent = window();
    box.caption = GetAppName();
    box.text = LoadQimString(qimstr::DeleteAllSelected);
    box.icon = platform::MessageIcon::Question;
    box.buttons = platform::MessageButtons::YesNo;
    return platform::Dialogs().MessageBox(box) == platform::MessageAnswer::Yes;
}

void SQimPWindow::DeleteLocalMails(const std::string& folder, const std::vector<int>& numbers) {
    const bool shown = IsSameDir(folder, shown_);
    SMemCacheFolder other;
    SMemCacheFolder& records = shown ? static_cast<SMemCacheFolder&>(cache_) : other;
    if (!shown) records.SetFolder(folder);
    std::unordered_set<int> gone;
    for (int number : numbers) {
        const std::string path = records.MailPath(number);
        if (viewer_->ShownPath() == path) viewer_->Clear();
        // A mail already gone is gone all the same.
        if (platform::RemoveFile(path.c_str()) || !platform::PathExists(path.c_str())) gone.insert(number);
    }
    if (gone.empty()) return;
    records.RemoveNumbers(gone);
    records.WriteAll();
    if (shown) RefreshList();
}

// ---- What the server changed ----

void SQimPWindow::ServerFolderChanged(const SQimPFolderRef& folder) {
    cache_.ResetOf(folder.path);
    if (folder.path == shown_) SelectFolder(shown_);
}

void SQimPWindow::LocalFolderChanged(const std::string& folder) {
    if (!IsServerFolderShown() && IsSameDir(folder, shown_)) RefreshList();
}

void SQimPWindow::ReadMarkChanged(const SQimPFolderRef& folder, int number, bool read) {
    if (folder.path != shown_) return;
    if (read) cache_.SetMarks(number, kMarkRead);
    else cache_.ClearMarks(number, kMarkRead);
    model_->RefreshState(number);
}

// ---- Marks ----

void SQimPWindow::MarkMails(bool read) {
    if (IsServerFolderShown()) {
        operations_.ChangeReadMark(RefOf(shown_), read);
        return;
    }
    MarkLocalMails(static_cast<int>(read ? SMarkKind::Read : SMarkKind::Unread));
}

void SQimPWindow::MarkLocalMails(int kind) {
    if (IsServerFolderShown()) return;
    const std::vector<int> changed =
        SMailCommands(platform::Dialogs(), window()).MarkMails(cache_, SelectedNumbers(), static_cast<SMarkKind>(kind));
    for (int number : changed) model_->RefreshState(number);
}

// ---- The search ----

bool SQimPWindow::SearchShownFolder(const SFindMailCondition& condition, bool selectAll) {
    QTreeWidgetItem* item = tree_->AnyItemOf(shown_);
    if (!item || !SQimPTreeView::IsServerItem(item)) return false;
    SImap4Request request;
    request.folder = MailboxOf(item);
    request.condition.CopyToMe(condition);
    searchResult_.clear();
    request.searchResult = &searchResult_;
    pending_.search = true;
    pending_.searchSelectsAll = selectAll;
    if (SendRequest(request, qimimap::kOpSearch)) return true;
    pending_.search = false;
    return false;
}

std::vector<int> SQimPWindow::ParseSearchResult() const {
    // The numbers, separated by blanks; anything else is no number, and a
    // number the list does not show is none of its mails.
    std::vector<int> found;
    const char* text = searchResult_.c_str();
    while (*text) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end == text) {
            ++text;
            continue;
        }
        if (value > 0 && value <= 0x7fffffff && model_->RowOf(static_cast<int>(value)) >= 0)
            found.push_back(static_cast<int>(value));
        text = end;
    }
    return found;
}

void SQimPWindow::OnSearchCompleted(bool ok) {
    if (pending_.sortSearch) {
        pending_.sortSearch = false;
        OnSortSearchCompleted(ok, ok ? ParseSearchResult() : std::vector<int>());
        return;
    }
    if (!pending_.search) return;
    pending_.search = false;
    found_.clear();
    if (!ok) {
        Notify(SNotice::Program(qimstr::SearchFailed));
        return;
    }
    found_ = ParseSearchResult();
    if (found_.empty()) {
        Notify(SNotice::Program(qimstr::NothingFound, {}, platform::MessageIcon::Information));
        return;
    }
    if (pending_.searchSelectsAll) {
        SelectNumbers(found_);
        return;
    }
    // The first found in list order.
    int first = -1;
    for (int number : found_) {
        const int row = model_->RowOf(number);
        if (first < 0 || row < first) first = row;
    }
    list_->selectionModel()->setCurrentIndex(model_->index(first, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(model_->index(first, 0));
}

// ---- The compose window's appends ----

bool SQimPWindow::AppendMailFile(const std::string& file, const std::string& folder, std::function<void(bool)> done) {
    if (pending_.appended || !qimimap::IsQimPFolder(folder)) return false;
    // The compose window may take its file away at once: the append reads a copy.
    if (!appendFile_) appendFile_ = std::make_unique<SQimTmpFilePath>(tempDir_.c_str());
    const std::string copy = appendFile_->Path();
    appendFile_->Delete();
    if (!platform::CopyFileNoReplace(file.c_str(), copy.c_str())) return false;
    const QTreeWidgetItem* item = tree_->ServerItemOf(folder);
    SImap4Request request;
    if (item) request.folder = MailboxOf(item);
    else request.folder = folder == qimimap::kQimPRoot || !MboxFolders() ? folder : folder + "\\" + qimimap::kMboxFolder;
    request.mailFile = copy;
    pending_.appended = [this, folder, done = std::move(done)](bool ok) {
        if (ok) ServerFolderChanged(RefOf(folder));
        if (done) done(ok);
    };
    if (SendRequest(request, qimimap::kOpAppendSent)) return true;
    pending_.appended = nullptr;
    return false;
}

// Sorting the shown server folder by the server folders' rule sets. Each
// rule's move is one of the window's mail commands (COPY or fetch, then
// STORE +\Deleted and CLOSE); the server renumbers the folder as it
// expunges, so the next rule is marked only from the header list fetched
// after that move.
#include <QItemSelectionModel>
#include <QTreeView>

#include "common/FilePath.h"
#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "filters/SAMFProfile.h"
#include "filters/SAutoMoveFiles.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPFolderPath.h"
#include "platform/FileSystem.h"
#include "ui/SAMFDialog.h"
#include "ui/SMoveFilesDialog.h"
#include "ui/SQimPTreeView.h"
#include "ui/SQimPWindow.h"

void SQimPWindow::RegisterSortCommands() {
    // The server folders' own rule sets, in the local sets' dialog.
    commands_.Add(qimcmd::ServerAutoSortSettings, [this] { SAMFDialog(window(), SSortRuleSet::Server1, home_).exec(); });
    commands_.Add(qimcmd::ServerAutoSort2Settings, [this] { SAMFDialog(window(), SSortRuleSet::Server2, home_).exec(); });
    // A run needs the shown server folder's list, and no other mail command going.
    const auto canSort = [this] { return IsServerFolderShown() && !operations_.InProgress() && !sort_; };
    for (const auto& [command, set] :
         {std::pair{qimcmd::AutoSort, SSortRuleSet::Server1}, std::pair{qimcmd::AutoSort2, SSortRuleSet::Server2}}) {
        commands_.AddWhen(command, canSort, [this, set = set] {
            SAMFProfile profile(set);
            // A set cut short by a damaged key still runs the rules before it.
            profile.Load();
            RunServerSort(std::move(profile.rules));
        });
    }
    commands_.AddWhen(qimcmd::OneShotSort, canSort, [this] {
        SAutoMoveFilesData rule;
        if (!EditMoveFilesRule(window(), oneShot_, home_, rule)) return;
        oneShot_ = rule;
        RunServerSort({rule});
    });
}

bool SQimPWindow::RunServerSort(std::vector<SAutoMoveFilesData> rules) {
    if (rules.empty() || !IsServerFolderShown() || operations_.InProgress() || !pending_.headers.empty()) return false;
    sort_ = std::make_unique<ServerSort>();
    sort_->rules = std::move(rules);
    sort_->folder = shown_;
    sortMoved_ = 0;
    ++sortRunId_;
    PostSortRule();
    return true;
}

void SQimPWindow::PostSortRule() {
    const unsigned run = sortRunId_;
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            if (run == sortRunId_ && sort_) SortRules();
        },
        Qt::QueuedConnection);
}

void SQimPWindow::EndSort() {
    sort_.reset();
    sortMarked_.clear();
    ++sortRunId_;
}

bool SQimPWindow::SortDestination(const SAutoMoveFilesData& rule, SQimPFolderRef& destination) {
    std::string path;
    bool exists = false;
    if (qimimap::IsQimPFolder(rule.destination)) {
        // Only a folder of the tree that holds mail: the written name is never
        // taken as a path of its own.
        std::vector<std::string> names;
        if (qimimap::QimPComponents(rule.destination, names)) {
            path = qimimap::QimPPathOf(names);
            const QTreeWidgetItem* item = tree_->ServerItemOf(path);
            exists = item && SQimPTreeView::HasMailbox(item);
        }
    } else {
        path = ResolveSortDestination(home_, rule.destination);
        exists = platform::IsDirectory(path.c_str());
    }
    // The shown folder itself: nothing to move, nothing to say.
    if (exists && path == shown_) return false;
    if (!exists) {
        Notify(SNotice::Program(qimstr::SortDestinationMissing, {rule.destination}));
        return false;
    }
    destination = RefOf(path);
    return true;
}

void SQimPWindow::SortRules() {
    for (; sort_->index < sort_->rules.size(); ++sort_->index) {
        // The user went to another folder between two rules: the run stops.
        if (shown_ != sort_->folder) break;
        const SAutoMoveFilesData& rule = sort_->rules[sort_->index];
        sortMarked_.clear();
        list_->clearSelection();
        if (!SortDestination(rule, sort_->destination)) continue;
        if (rule.headerType == kSortHeaderField) {
            pending_.sortSearch = true;
            QTreeWidgetItem* item = tree_->AnyItemOf(shown_);
            SImap4Request request;
            request.folder = MailboxOf(item);
            request.condition.CopyToMe(RuleCondition(rule));
            searchResult_.clear();
            request.searchResult = &searchResult_;
            if (!SendRequest(request, qimimap::kOpSearch)) {
                pending_.sortSearch = false;
                break;
            }
            sort_->wait = ServerSort::Wait::Search;
            return;
        }
        SFindCondition condition;
        condition.SetPattern(rule.pattern.c_str());
        condition.SetOption(rule.option);
        std::vector<int> marked;
        for (const SQimMailData& record : cache_.Records())
            if (RuleMatchesHeader(condition, rule.headerType, record.header)) marked.push_back(record.number);
        if (marked.empty()) continue;
        if (!SortMove(marked)) break;
        return;
    }
    EndSort();
}

bool SQimPWindow::SortMove(const std::vector<int>& numbers) {
    // Marks only: no mail is fetched for the viewer on the way.
    showingMail_ = true;
    SelectNumbers(numbers);
    showingMail_ = false;
    sortMarked_ = SelectedNumbers();
    if (sortMarked_.empty()) return false;
    sort_->wait = ServerSort::Wait::Move;
    if (operations_.Transfer(RefOf(shown_), sort_->destination, false)) return true;
    sort_->wait = ServerSort::Wait::None;
    return false;
}

void SQimPWindow::OnSortSearchCompleted(bool ok, const std::vector<int>& found) {
    if (!sort_ || sort_->wait != ServerSort::Wait::Search) return;
    sort_->wait = ServerSort::Wait::None;
    // A search that failed ends the run, as a local field search does.
    if (!ok) {
        Notify(SNotice::Program(qimstr::SearchFailed));
        EndSort();
        return;
    }
    if (found.empty() || shown_ != sort_->folder) {
        ++sort_->index;
        PostSortRule();
        return;
    }
    if (!SortMove(found)) EndSort();
}

void SQimPWindow::OnSortOperationCompleted(bool ok) {
    if (!sort_ || sort_->wait != ServerSort::Wait::Move || operations_.InProgress()) return;
    // A move that failed was told by its operation; the run ends there, so
    // that no rule works on a folder half moved.
    if (!ok) {
        EndSort();
        return;
    }
    sortMoved_ += static_cast<int>(sortMarked_.size());
    sortMarked_.clear();
    ++sort_->index;
    // The source's list comes again after the CLOSE; a move into a local
    // folder that had nothing to expunge goes on at once.
    if (!pending_.headers.empty()) {
        sort_->wait = ServerSort::Wait::Headers;
        return;
    }
    sort_->wait = ServerSort::Wait::None;
    PostSortRule();
}

void SQimPWindow::OnSortHeadersCompleted(bool ok) {
    if (!sort_ || sort_->wait != ServerSort::Wait::Headers) return;
    sort_->wait = ServerSort::Wait::None;
    if (!ok) {
        EndSort();
        return;
    }
    PostSortRule();
}

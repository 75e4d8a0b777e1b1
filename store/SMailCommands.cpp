#include "store/SMailCommands.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <unordered_map>
#include <unordered_set>

#include "common/FilePath.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SGetRecvFileName.h"
#include "store/SQimComparator.h"

using namespace qimstore;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

std::vector<int> SortedRecordNumbers(const SMemCacheFolder& folder) {
    std::vector<int> numbers;
    numbers.reserve(folder.Records().size());
    for (const SQimMailData& r : folder.Records()) numbers.push_back(r.number);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The records of a folder by number (the first of each number), for the
// lookups of one command; the records must not change meanwhile.
class RecordIndex {
public:
    explicit RecordIndex(const SMemCacheFolder& folder) {
        byNumber_.reserve(folder.Records().size());
        for (const SQimMailData& r : folder.Records()) byNumber_.emplace(r.number, &r);
    }
    bool Find(int number, SHeaderData& data) const {
        const auto it = byNumber_.find(number);
        if (it == byNumber_.end()) return false;
        data = it->second->header;
        return true;
    }

private:
    std::unordered_map<int, const SQimMailData*> byNumber_;
};

std::string FileNameOf(const std::string& path) {
    std::string dir, name;
    SplitFilePath(path, dir, name);
    return name;
}

}  // namespace

SMailCommands::SMailCommands(platform::DialogService& dialogs, platform::ParentWindow parent)
    : dialogs_(dialogs, parent) {}

SDeleteAnswer SMailCommands::AskDelete(const SQimMailData& mail, const std::string& question, bool offerAll) {
    if (confirm_) return confirm_(mail, question, offerAll);
    // Without the window's dialog: the mail's line and the question in a box.
    const std::string text = std::to_string(mail.number) + "  " + mail.header.date + "\n" + mail.header.from +
                             "\n" + mail.header.subject + "\n\n" + question;
    switch (dialogs_.Message(text, MessageIcon::Question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        return SDeleteAnswer::Yes;
    case MessageAnswer::No:
        return SDeleteAnswer::No;
    default:
        return SDeleteAnswer::Cancel;
    }
}
void SMailCommands::CloseViewerOf(const std::string& mailPath, bool& closed) {
    if (!closed && closeViewer_) closed = closeViewer_(mailPath);
}
std::vector<int> SMailCommands::DeleteMails(SMemCacheFolder& folder, const std::vector<int>& selected) {
    std::vector<int> deleted;
    bool all = false;
    bool viewerClosed = false;
    const RecordIndex index(folder);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        SQimMailData mail;
        mail.number = *it;
        index.Find(mail.number, mail.header);
        if (!all) {
            const SDeleteAnswer answer = AskDelete(mail, LoadQimString(qimstr::DeleteThisMail), true);
            if (answer == SDeleteAnswer::Cancel) break;
            if (answer == SDeleteAnswer::No) continue;
            if (answer == SDeleteAnswer::All) {
                if (dialogs_.Message(LoadQimString(qimstr::DeleteAllSelected), MessageIcon::Question, MessageButtons::YesNo) !=
                    MessageAnswer::Yes)
                    break;
                all = true;
            }
        }
        const unsigned char marks = folder.GetMarks(mail.number);
        if (marks != kMarkError && (marks & kMarkImportant)) {
            const SDeleteAnswer answer = AskDelete(mail, LoadQimString(qimstr::DeleteImportantMail), false);
            if (answer == SDeleteAnswer::Cancel) break;
            if (answer != SDeleteAnswer::Yes) continue;
            folder.ClearMarks(mail.number, kMarkImportant);
        }
        const std::string path = folder.MailPath(mail.number);
        if (!platform::RemoveFile(path.c_str())) {
            // A file deleted by someone else is gone all the same: its record goes.
            if (errno != ENOENT) {
                dialogs_.Error(SStoreDialogs::Format(qimstr::CannotDelete, static_cast<long>(errno)));
                break;
            }
        }
        CloseViewerOf(path, viewerClosed);
        deleted.push_back(mail.number);
    }
    if (!deleted.empty()) {
        folder.RemoveNumbers(std::unordered_set<int>(deleted.begin(), deleted.end()));
        folder.WriteAll();
    }
    return deleted;
}
bool SMailCommands::BringMail(SQimCacheFolder& destination, const std::string& source) {
    return destination.BatchMove(source.c_str());
}
std::vector<int> SMailCommands::MoveMails(SMemCacheFolder& source, const std::vector<int>& selected,
                                            const std::string& destination) {
    std::vector<int> moved;
    if (!platform::IsDirectory(destination.c_str())) {
        dialogs_.Error(SStoreDialogs::Format(qimstr::MoveTargetMissing, destination));
        return moved;
    }
    if (IsSameFolderOnDisk(source.Path(), destination)) {
        dialogs_.Error(LoadQimString(qimstr::MoveSameFolder));
        return moved;
    }
    SQimCacheFolder target(destination);
    if (!target.BeginBatch()) {
        dialogs_.Error(LoadQimString(qimstr::CacheCannotOpen));
        return moved;
    }
    std::unordered_set<int> gone;  // records to drop from the source
    bool viewerClosed = false;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const int number = *it;
        const std::string path = source.MailPath(number);
        if (!source.MailExists(number)) {
            // Deleted behind the program's back: nothing to move, its record goes.
            gone.insert(number);
            continue;
        }
        CloseViewerOf(path, viewerClosed);
        if (!BringMail(target, path)) {
            dialogs_.Error(LoadQimString(qimstr::CannotMove));
            break;
        }
        gone.insert(number);
        moved.push_back(number);
    }
    target.EndBatch();
    // One pass over the records, so moving a whole large folder stays linear.
    if (!gone.empty() && source.RemoveNumbers(gone) > 0) source.WriteAll();
    return moved;
}
int SMailCommands::ImportWithDialog(const std::string& inbox) {
    platform::FileDialogRequest request;
    request.parent = dialogs_.Parent();
    request.kind = platform::FileDialogKind::Open;
    request.title = LoadQimString(qimstr::ImportDialogTitle);
    request.mustExist = true;
    request.multiSelect = true;
    std::vector<std::string> files;
    if (!dialogs_.Service().FileDialog(request, files) || files.empty()) return 0;
    return ImportFiles(inbox, files);
}
int SMailCommands::ImportFiles(const std::string& inbox, const std::vector<std::string>& files) {
    if (files.empty()) return 0;
    std::string sourceDir, name;
    SplitFilePath(files.front(), sourceDir, name);
    if (IsSameFolderOnDisk(sourceDir, inbox) &&
        dialogs_.Message(LoadQimString(qimstr::ImportSameFolder), MessageIcon::Question, MessageButtons::YesNo, 1) !=
            MessageAnswer::Yes)
        return 0;
    SQimCacheFolder box(inbox);
    // With the highest number taken there is no new one: the batch refuses it.
    const int last = box.LastNumber();
    const int firstNew = last == INT_MAX ? INT_MAX : last + 1;
    if (!box.BeginBatch()) {
        dialogs_.Error(LoadQimString(qimstr::CacheCannotOpen));
        return 0;
    }
    int copied = 0;
    for (const std::string& file : files) {
        if (!box.BatchCopy(file.c_str())) {
            dialogs_.Error(LoadQimString(qimstr::CannotMove));
            break;
        }
        ++copied;
    }
    box.EndBatch();
    if (copied == 0) return 0;
    bool markFailed = false;
    for (int n : box.MailNumbers()) {
        if (n >= firstNew && !box.ClearMarks(n, kMarkRead | kMarkImportant)) markFailed = true;
    }
    if (markFailed) dialogs_.Error(LoadQimString(qimstr::CannotSetUnread));
    // A source that is a mail folder of its own gets its cache brought in
    // line; any other folder is left without one.
    MergeFilePath(name, sourceDir, kCacheFileName);
    if (platform::IsRegularFile(name.c_str())) SQimCacheFolder(sourceDir).RebuildCache();
    return firstNew;
}
std::vector<int> SMailCommands::MarkMails(SQimFolder& folder, const std::vector<int>& selected, SMarkKind kind) {
    std::vector<int> changed;
    if (selected.empty()) {
        dialogs_.Message(LoadQimString(qimstr::SelectMailToMark), MessageIcon::Exclamation);
        return changed;
    }
    bool failed = false;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        bool ok = false;
        switch (kind) {
        case SMarkKind::Important:
            ok = folder.SetMarks(*it, kMarkImportant);
            break;
        case SMarkKind::Read:
            ok = folder.SetMarks(*it, kMarkRead);
            break;
        case SMarkKind::Unread:
            ok = folder.ClearMarks(*it, kMarkRead);
            break;
        }
        if (!ok) {
            dialogs_.Error(SStoreDialogs::Format(qimstr::CannotChangeMark, static_cast<long>(errno)));
            failed = true;
            break;
        }
        changed.push_back(*it);
    }
    if (kind == SMarkKind::Important) {
        if (failed)
            dialogs_.Error(LoadQimString(qimstr::Aborting));
        else
            dialogs_.Message(LoadQimString(qimstr::MarkedImportant), MessageIcon::Information);
    }
    return changed;
}
bool SMailCommands::MarkShownRead(SQimFolder& folder, int number) {
    if (folder.SetMarks(number, kMarkRead)) return true;
    dialogs_.Error(LoadQimString(qimstr::CannotSetRead));
    return false;
}
bool SMailCommands::RenameMail(const std::string& from, const std::string& to) {
    return MoveFileKeepAttrib(from.c_str(), to.c_str());
}
std::size_t SMailCommands::RenumberFiles(const std::vector<std::pair<int, int>>& moves, SQimFolder& folder,
                                           bool& failed) {
    failed = false;
    std::size_t done = 0;
    bool viewerClosed = false;
    for (const auto& [from, to] : moves) {
        const std::string source = folder.MailPath(from);
        const std::string target = folder.MailPath(to);
        CloseViewerOf(source, viewerClosed);
        if (!RenameMail(source, target)) {
            if (platform::PathExists(target.c_str()))
                dialogs_.Error(SStoreDialogs::Format(qimstr::RenameTriedTo, FileNameOf(target)) + LoadQimString(qimstr::NameExists));
            dialogs_.Error(LoadQimString(qimstr::CannotRenameFile));
            failed = true;
            break;
        }
        ++done;
    }
    return done;
}
std::size_t SMailCommands::RenumberWithoutCache(const std::vector<std::pair<int, int>>& moves, SMemCacheFolder& folder,
                                                  bool& failed) {
    failed = false;
    if (moves.empty()) return 0;
    // A run that dies among the renames must not leave a cache that lists
    // the old numbers: without one, the folder's next opening builds it.
    platform::RemoveFile(folder.CachePath().c_str());
    const std::size_t done = RenumberFiles(moves, folder, failed);
    folder.RebuildCache();
    return done;
}
bool SMailCommands::CloseGaps(SMemCacheFolder& folder) {
    // The files decide, not the records: a stale cache can neither make a
    // move fail nor leave a mail out.
    const std::vector<int> numbers = folder.MailNumbers();
    std::vector<std::pair<int, int>> moves;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const int target = static_cast<int>(i) + 1;
        if (numbers[i] != target) moves.emplace_back(numbers[i], target);
    }
    if (moves.empty()) return false;
    bool failed = false;
    return RenumberWithoutCache(moves, folder, failed) > 0;
}
bool SMailCommands::RenumberByDate(SMemCacheFolder& folder) {
    // Every mail needs its record to take part in the date order.
    if (SortedRecordNumbers(folder) != folder.MailNumbers()) folder.RebuildCache();
    std::vector<const SQimMailData*> rows;
    rows.reserve(folder.Records().size());
    for (const SQimMailData& r : folder.Records()) rows.push_back(&r);
    SQimComparator comparator;
    comparator.SetDirection(kColumnDate, kDirAscending);
    comparator.Sort(rows, kColumnDate);
    const long long last = folder.LastNumber();
    if (last + static_cast<long long>(rows.size()) > INT_MAX) {
        dialogs_.Error(LoadQimString(qimstr::CannotRenameFile));
        return false;
    }
    // Every mail first goes above the highest name, where no name is taken,
    // so each step is one rename and an interruption loses nothing.
    std::vector<std::pair<int, int>> moves;
    moves.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        moves.emplace_back(rows[i]->number, static_cast<int>(last + static_cast<long long>(i) + 1));
    bool failed = false;
    const std::size_t done = RenumberWithoutCache(moves, folder, failed);
    if (done == 0) return false;
    if (!failed) CloseGaps(folder);
    return true;
}
bool SMailCommands::UpdateCache(SMemCacheFolder& folder) { return folder.RebuildCache(); }
bool SMailCommands::FinishReceive(const std::string& inbox, int firstNew) {
    bool marksFailed = false;
    const bool arrived = SettleReceivedMail(inbox, firstNew, marksFailed);
    if (marksFailed) dialogs_.Error(LoadQimString(qimstr::CannotSetUnread));
    return arrived;
}

bool SettleReceivedMail(const std::string& inbox, int firstNew, bool& marksFailed) {
    marksFailed = false;
    SQimCacheFolder box(inbox);
    if (firstNew <= 0 || !box.MailExists(firstNew)) return false;
    for (int n : box.MailNumbers()) {
        if (n >= firstNew && !box.ClearMarks(n, kMarkRead)) marksFailed = true;
    }
    box.UpdateCache();
    return true;
}
std::string SMailCommands::StoreMail(const std::string& home, const std::string& folderName,
                                       const std::function<bool(const std::string& path)>& write) {
    std::string folder;
    MakeFullPath(folder, home, folderName.empty() ? std::string(".") : folderName);
    SGetRecvFileName names(folder);
    const std::string path = names.Next();
    if (path.empty() || !write(path)) return std::string();
    SQimCacheFolder& box = names.Folder();
    box.UpdateCache();
    box.ClearMarks(names.Counter(), kMarkRead);
    return path;
}

#include "imap/SCopyMailsFromServer.h"

#include <climits>

#include "imap/Imap4Codes.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SQimCacheFolder.h"

bool SCopyMailsFromServer::Start(SQimPOperationHost& window, const SQimPFolderRef& source,
                                 const SQimPFolderRef& destination) {
    pendingFile_.clear();
    pendingNumber_ = 0;
    firstLocal_ = 0;
    if (!SCopyMailsInServer::Start(window, source, destination)) return false;
    SQimFolder folder(destination.path);
    const int last = folder.LastNumber();
    if (last < 0 || last >= INT_MAX) return false;  // no free number left
    nextFree_ = last + 1;
    return true;
}

void SCopyMailsFromServer::Arrived() {
    if (pendingFile_.empty()) return;
    // A mail read on the server is read here too.
    if (pendingMark_ != qimstore::kMarkError && (pendingMark_ & qimstore::kMarkRead)) {
        SQimFolder folder(destination_.path);
        folder.SetMarks(pendingNumber_, qimstore::kMarkRead);
    }
    pendingFile_.clear();
}

bool SCopyMailsFromServer::Step() {
    Arrived();
    int position = 0, number = 0;
    if (!window_ || !walk_.NextMail(position, number)) return false;
    SQimFolder folder(destination_.path);
    // The session writes the file anew: never over a mail already there.
    while (nextFree_ < INT_MAX && folder.MailExists(nextFree_)) ++nextFree_;
    if (folder.MailExists(nextFree_)) return false;
    SImap4Request request;
    request.folder = source_.mailbox;
    request.first = number;
    request.mailFile = folder.MailPath(nextFree_);
    if (!window_->SendRequest(request, qimimap::kOpFetchForCopy)) return false;
    pendingFile_ = request.mailFile;
    pendingNumber_ = nextFree_;
    pendingMark_ = window_->Selection().MarkAt(position);
    if (firstLocal_ == 0) firstLocal_ = nextFree_;
    if (nextFree_ < INT_MAX) ++nextFree_;
    ++done_;
    return true;
}

bool SCopyMailsFromServer::Finish(bool ok) {
    if (ok) {
        Arrived();
    } else if (!pendingFile_.empty()) {
        // What a failed fetch wrote is no mail.
        platform::RemoveFile(pendingFile_.c_str());
        pendingFile_.clear();
        --done_;
    }
    if (firstLocal_ == 0 || !window_) return ok;
    SQimCacheFolder folder;
    folder.SetFolder(destination_.path);
    const bool cached = folder.UpdateCache();
    window_->LocalFolderChanged(destination_.path);
    return ok && cached;
}

bool SMoveMailsFromServer::Finish(bool ok) {
    const bool done = SCopyMailsFromServer::Finish(ok);
    if (ok && done_ >= 1 && window_) window_->DeleteSelectedInServer(source_);
    return done;
}

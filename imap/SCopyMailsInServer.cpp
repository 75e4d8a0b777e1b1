#include "imap/SCopyMailsInServer.h"

#include "imap/Imap4Codes.h"

bool SCopyMailsInServer::Start(SQimPOperationHost& window, const SQimPFolderRef& source,
                               const SQimPFolderRef& destination) {
    window_ = &window;
    source_ = source;
    destination_ = destination;
    done_ = 0;
    walk_.Start(window.Selection());
    return SQimPSelectionWalk::AnySelected(window.Selection());
}

bool SCopyMailsInServer::Step() {
    int first = 0, last = 0;
    if (!window_ || !walk_.NextRun(first, last)) return false;
    SImap4Request request;
    request.folder = source_.mailbox;
    request.source = source_.mailbox;
    request.destination = destination_.mailbox;
    request.first = first;
    request.last = last;
    if (!window_->SendRequest(request, qimimap::kOpCopy)) return false;
    done_ += last - first + 1;
    return true;
}

bool SCopyMailsInServer::Finish(bool) { return true; }

bool SMoveMailsInServer::Finish(bool ok) {
    // Only what was copied whole goes from the source.
    if (ok && done_ >= 1 && window_) window_->DeleteSelectedInServer(source_);
    return ok;
}

#include "imap/SDeleteMailsInServer.h"

#include "imap/Imap4Codes.h"

bool SDeleteMailsInServer::Start(SQimPOperationHost& window, const SQimPFolderRef& folder) {
    window_ = &window;
    folder_ = folder;
    count_ = 0;
    pendingFirst_ = 0;
    pendingLast_ = -1;
    walk_.Start(window.Selection());
    return SQimPSelectionWalk::AnySelected(window.Selection());
}

int SDeleteMailsInServer::Operation() const { return qimimap::kOpMarkDeleted; }

void SDeleteMailsInServer::Confirm() {
    if (pendingLast_ < pendingFirst_) return;
    count_ += pendingLast_ - pendingFirst_ + 1;
    Confirmed(pendingFirst_, pendingLast_);
    pendingLast_ = pendingFirst_ - 1;
}

bool SDeleteMailsInServer::SendRun(int first, int last) {
    SImap4Request request;
    request.folder = folder_.mailbox;
    request.first = first;
    request.last = last;
    FillRequest(request);
    if (Operation() == qimimap::kOpMarkDeleted) window_->ReleaseViewers(folder_.mailbox, first, last);
    if (!window_->SendRequest(request, Operation())) return false;
    pendingFirst_ = first;
    pendingLast_ = last;
    return true;
}

bool SDeleteMailsInServer::Step() {
    // Step is called once the previous request succeeded.
    Confirm();
    int first = 0, last = 0;
    if (!window_ || !walk_.NextRun(first, last)) return false;
    return SendRun(first, last);
}

bool SDeleteMailsInServer::Finish(bool ok) {
    if (ok) Confirm();
    pendingLast_ = pendingFirst_ - 1;
    if (count_ < 1 || !window_) return false;
    SImap4Request request;
    request.folder = folder_.mailbox;
    return window_->SendRequest(request, qimimap::kOpCloseFolder);
}

bool SQueryDeleteMailsInServer::Step() {
    if (!asking_) return SDeleteMailsInServer::Step();
    Confirm();
    int position = 0, number = 0;
    while (window_ && walk_.NextMail(position, number)) {
        switch (window_->AskDelete(number)) {
        case SDeleteAnswer::Cancel:
            return false;
        case SDeleteAnswer::No:
            continue;
        case SDeleteAnswer::All:
            if (!window_->ConfirmDeleteAll()) return false;
            asking_ = false;
            return SendRun(number, number);
        case SDeleteAnswer::Yes:
            return SendRun(number, number);
        }
    }
    return false;
}

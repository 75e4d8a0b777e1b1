#include "imap/SCopyMailsToServer.h"

#include "imap/Imap4Codes.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"

bool SCopyMailsToServer::Start(SQimPOperationHost& window, const SQimPFolderRef& source,
                               const SQimPFolderRef& destination) {
    sent_.clear();
    return SCopyMailsInServer::Start(window, source, destination);
}

bool SCopyMailsToServer::Step() {
    int position = 0, number = 0;
    if (!window_ || !walk_.NextMail(position, number)) return false;
    SQimFolder folder(source_.path);
    const unsigned char marks = folder.GetMarks(number);
    SImap4Request request;
    request.folder = destination_.mailbox;
    request.mailFile = folder.MailPath(number);
    // Marks that cannot be read give no flags rather than every flag.
    request.mark = marks == qimstore::kMarkError ? qimstore::kMarkNone : marks;
    if (!window_->SendRequest(request, qimimap::kOpAppend)) return false;
    sent_.push_back(number);
    ++done_;
    return true;
}

bool SCopyMailsToServer::Finish(bool) { return true; }

bool SMoveMailsToServer::Finish(bool ok) {
    if (ok && done_ >= 1 && window_) window_->DeleteLocalMails(source_.path, sent_);
    return ok;
}

#include "imap/SChangeAttribMailsInServer.h"

#include "imap/Imap4Codes.h"
#include "store/QimStoreCodes.h"

int SChangeAttribMailsInServer::Operation() const { return qimimap::kOpChangeFlags; }

void SChangeAttribMailsInServer::FillRequest(SImap4Request& request) const {
    request.mark = mark_;
    request.add = add_;
}

void SChangeAttribMailsInServer::Confirmed(int first, int last) {
    if (mark_ != qimstore::kMarkRead || !window_) return;
    for (long long number = first; number <= last; ++number)
        window_->ReadMarkChanged(folder_, static_cast<int>(number), add_);
}

bool SChangeAttribMailsInServer::Finish(bool ok) {
    if (ok) Confirm();
    pendingLast_ = pendingFirst_ - 1;
    return ok && count_ >= 1;
}

#include "imap/SQimPMailOperations.h"

#include "config/QimStringIds.h"
#include "imap/Imap4Codes.h"
#include "imap/SQimPMemCacheFolder.h"
#include "store/QimStoreCodes.h"

namespace {

bool SameFolder(const SQimPFolderRef& a, const SQimPFolderRef& b) {
    return a.server == b.server && (a.server ? a.mailbox == b.mailbox : a.path == b.path);
}

// The selection as a command found it.
class Snapshot : public SQimPMailSelection {
public:
    void Take(const SQimPMailSelection& from) {
        const int count = from.ItemCount();
        numbers_.assign(static_cast<std::size_t>(count), 0);
        selected_.assign(static_cast<std::size_t>(count), false);
        marks_.assign(static_cast<std::size_t>(count), 0);
        for (int p = 0; p < count; ++p) {
            const auto i = static_cast<std::size_t>(p);
            selected_[i] = from.IsSelected(p);
            if (!selected_[i]) continue;
            numbers_[i] = from.NumberAt(p);
            marks_[i] = from.MarkAt(p);
        }
    }
    int ItemCount() const override { return static_cast<int>(numbers_.size()); }
    bool IsSelected(int p) const override { return selected_[static_cast<std::size_t>(p)]; }
    int NumberAt(int p) const override { return numbers_[static_cast<std::size_t>(p)]; }
    unsigned char MarkAt(int p) const override { return marks_[static_cast<std::size_t>(p)]; }

private:
    std::vector<int> numbers_;
    std::vector<bool> selected_;
    std::vector<unsigned char> marks_;
};

}  // namespace

// The window as the operation objects see it: the snapshot instead of the
// live selection, and the delete that ends a move run by the deleter here.
class SQimPMailOperations::Host : public SQimPOperationHost {
public:
    Host(SQimPMailOperations& owner, SQimPMailWindow& window) : owner_(owner), window_(window) {}
    void Take() { snapshot_.Take(window_.Selection()); }

    const SQimPMailSelection& Selection() const override { return snapshot_; }
    bool SendRequest(const SImap4Request& r, int op) override { return window_.SendRequest(r, op); }
    void Notify(const SNotice& notice) override { window_.Notify(notice); }
    SDeleteAnswer AskDelete(int number) override { return window_.AskDelete(number); }
    bool ConfirmDeleteAll() override { return window_.ConfirmDeleteAll(); }
    void ReleaseViewers(const std::string& mailbox, int first, int last) override {
        window_.ReleaseViewers(mailbox, first, last);
    }
    void DeleteLocalMails(const std::string& folder, const std::vector<int>& numbers) override {
        window_.DeleteLocalMails(folder, numbers);
    }
    void ServerFolderChanged(const SQimPFolderRef& folder) override { window_.ServerFolderChanged(folder); }
    void LocalFolderChanged(const std::string& folder) override { window_.LocalFolderChanged(folder); }
    void ReadMarkChanged(const SQimPFolderRef& folder, int number, bool read) override {
        window_.ReadMarkChanged(folder, number, read);
    }
    // The same selection the move copied.
    void DeleteSelectedInServer(const SQimPFolderRef& folder) override { owner_.StartDelete(folder, false); }

private:
    SQimPMailOperations& owner_;
    SQimPMailWindow& window_;
    Snapshot snapshot_;
};

SQimPMailOperations::SQimPMailOperations(SQimPMailWindow& window, SQimPMemCacheFolder& cache)
    : window_(window), cache_(cache), host_(std::make_unique<Host>(*this, window)) {}

SQimPMailOperations::~SQimPMailOperations() = default;

template <typename Operation>
bool SQimPMailOperations::Begin(Operation& operation, Running kind) {
    running_ = kind;
    if (operation.Step()) return true;
    // Nothing was sent (no readable number, or the session did not take the
    // request): the command ends here.
    running_ = Running::None;
    operation.Finish(true);
    return false;
}

bool SQimPMailOperations::Transfer(const SQimPFolderRef& source, const SQimPFolderRef& destination, bool copy) {
    if (InProgress() || SameFolder(source, destination) || (!source.server && !destination.server)) return false;
    host_->Take();
    if (source.server && destination.server) {
        inServer_.reset();
        inServer_ = copy ? std::make_unique<SCopyMailsInServer>() : std::make_unique<SMoveMailsInServer>();
        if (!inServer_->Start(*host_, source, destination)) return false;
        cache_.ResetOf(destination.path);
        return Begin(*inServer_, Running::InServer);
    }
    if (destination.server) {
        toServer_.reset();
        toServer_ = copy ? std::make_unique<SCopyMailsToServer>() : std::make_unique<SMoveMailsToServer>();
        if (!toServer_->Start(*host_, source, destination)) return false;
        cache_.ResetOf(destination.path);
        return Begin(*toServer_, Running::ToServer);
    }
    fromServer_.reset();
    fromServer_ = copy ? std::make_unique<SCopyMailsFromServer>() : std::make_unique<SMoveMailsFromServer>();
    if (!fromServer_->Start(*host_, source, destination)) return false;
    return Begin(*fromServer_, Running::FromServer);
}

bool SQimPMailOperations::Delete(const SQimPFolderRef& folder, bool asking) {
    if (InProgress() || !folder.server) return false;
    host_->Take();
    return StartDelete(folder, asking);
}

bool SQimPMailOperations::StartDelete(const SQimPFolderRef& folder, bool asking) {
    deleter_.SetAsking(asking);
    if (!deleter_.Start(*host_, folder)) return false;
    running_ = Running::Delete;
    if (deleter_.Step()) return true;
    FinishDeleter(true);
    return false;
}

bool SQimPMailOperations::ChangeReadMark(const SQimPFolderRef& folder, bool read) {
    if (InProgress() || !folder.server) return false;
    host_->Take();
    flagChanger_.SetMark(qimstore::kMarkRead, read);
    if (!flagChanger_.Start(*host_, folder)) return false;
    return Begin(flagChanger_, Running::Flags);
}

template <typename Operation>
void SQimPMailOperations::StepOn(Operation& operation) {
    if (operation.Step()) return;
    running_ = Running::None;
    operation.Finish(true);
}

template <typename Operation>
void SQimPMailOperations::FinishFailed(Operation& operation, unsigned message) {
    window_.Notify(SNotice::Program(message));
    running_ = Running::None;
    operation.Finish(false);
}

// The deleter's end: the CLOSE that expunges, when any mail was marked.
void SQimPMailOperations::FinishDeleter(bool ok) {
    running_ = Running::Close;
    if (deleter_.Finish(ok)) return;
    running_ = Running::None;
    // Nothing to expunge, or the CLOSE was refused: the list shows the server again.
    if (!ok || deleter_.Count() > 0) window_.ServerFolderChanged(deleter_.Folder());
}

bool SQimPMailOperations::Completed(int operation, int result) {
    const bool ok = result != qimimap::kResultFailure;
    switch (operation) {
    case qimimap::kOpCopy:
        if (running_ != Running::InServer || !inServer_) return false;
        if (ok) StepOn(*inServer_);
        else FinishFailed(*inServer_, qimstr::CannotCopyMail);
        return true;
    case qimimap::kOpAppend:
        if (running_ != Running::ToServer || !toServer_) return false;
        if (ok) StepOn(*toServer_);
        else FinishFailed(*toServer_, qimstr::CannotCopyMail);
        return true;
    case qimimap::kOpFetchForCopy:
        if (running_ != Running::FromServer || !fromServer_) return false;
        if (ok) StepOn(*fromServer_);
        else FinishFailed(*fromServer_, qimstr::CannotFetchMail);
        return true;
    case qimimap::kOpMarkDeleted:
        if (running_ != Running::Delete) return false;
        if (ok) {
            if (!deleter_.Step()) FinishDeleter(true);
        } else {
            window_.Notify(SNotice::Program(qimstr::CannotDeleteServerMail));
            FinishDeleter(false);
        }
        return true;
    case qimimap::kOpCloseFolder:
        if (running_ != Running::Close) return false;
        running_ = Running::None;
        if (!ok) window_.Notify(SNotice::Program(qimstr::CannotDeleteServerMail));
        window_.ServerFolderChanged(deleter_.Folder());
        return true;
    case qimimap::kOpChangeFlags:
        if (running_ != Running::Flags) return false;
        if (ok) StepOn(flagChanger_);
        else FinishFailed(flagChanger_, qimstr::CannotChangeMarks);
        return true;
    default:
        return false;
    }
}

#include "send/SSendMail.h"

#include <QCoreApplication>
#include <QObject>

#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "send/SAddressText.h"

SSendMail::SSendMail(SUserInetData& inet, SEMailMimeHeader& header, SLoginConfirmation& login, NoticeSink notify)
    : inet_(inet), header_(header), login_(login), notify_(std::move(notify)) {}

SSendMail::~SSendMail() {
    *alive_ = false;
    session_.reset();
}

void SSendMail::Start() {
    if (running_) return;
    running_ = true;
    failed_.clear();
    listMode_ = IsAddressListField(header_.to);
    if (listMode_ && !PrepareList()) {
        running_ = false;
        return;
    }
    RunNext();
}

bool SSendMail::PrepareList() {
    std::string path;
    if (!AddressListPath(header_.to, GetQimHome(), path)) {
        notify_(SNotice::Program(qimstr::AddressListOutsideHome));
        Done(SSmtpOutcome::Failed);
        return false;
    }
    if (!SGetAddressAndSalutationList(path, entries_)) {
        notify_(SNotice::Program(qimstr::CannotOpenFile));
        Done(SSmtpOutcome::Failed);
        return false;
    }
    nextEntry_ = 0;
    savedTo_ = header_.to;
    return true;
}

void SSendMail::RunNext() {
    if (!listMode_) {
        std::unique_ptr<SGetLine> lines;
        if (customLines_) lines = std::move(customLines_);
        else if (!messageFile_.empty()) lines = std::make_unique<SGetLineFile>(messageFile_);
        else if (editor_) lines = std::make_unique<SGetLineEdit>(*editor_);
        RunSession(std::move(lines), !messageFile_.empty());
        return;
    }
    if (nextEntry_ >= entries_.size()) {
        EndList();
        return;
    }
    const SAddressEntry& entry = entries_[nextEntry_];
    header_.to = entry.address;
    if (!header_.Build()) {
        failed_.push_back(entry.address);
        ++nextEntry_;
        RunNext();
        return;
    }
    // The body without the file's header: the header goes out rebuilt.
    if (!messageFile_.empty()) baseLines_ = std::make_unique<SGetLineFileOmitHeader>(messageFile_);
    else if (editor_) baseLines_ = std::make_unique<SGetLineEdit>(*editor_);
    std::string boundary;
    const std::string& type = header_.contentType;
    const std::size_t at = type.find("boundary=\"");
    if (!messageFile_.empty() && at != std::string::npos) {
        boundary = type.substr(at + 10);
        boundary = boundary.substr(0, boundary.find('"'));
    }
    std::unique_ptr<SGetLine> lines;
    if (baseLines_) lines = std::make_unique<SGetLineWithSalutation>(*baseLines_, entry.salutation, boundary);
    RunSession(std::move(lines), false);
}

void SSendMail::RunSession(std::unique_ptr<SGetLine> lines, bool headerInFile) {
    if (!lines) {
        notify_(SNotice::Program(qimstr::BodyUnreadable));
        Done(SSmtpOutcome::Failed);
        return;
    }
    session_.reset();
    lines_ = std::move(lines);
    std::weak_ptr<bool> alive = alive_;
    login_.ConfirmLogin([this, alive, headerInFile](bool confirmed) {
        if (alive.expired() || !*alive.lock()) return;
        if (!confirmed) {
            OnSmtpEnded(SSmtpOutcome::Cancelled);
            return;
        }
        session_ = std::make_unique<SSmtpSession>(inet_, header_, *lines_, headerInFile, *this);
        session_->askNetworkSettings = askNetworkSettings;
        session_->completeHeader = completeHeader;
        session_->askPassword = askPassword;
        session_->SetTimeout(timeoutMs_);
        session_->Start();
    });
}

void SSendMail::Cancel() {
    if (session_) session_->Cancel();
}

void SSendMail::OnSmtpSecured(const std::string& text) {
    if (onSecured) onSecured(text);
}

void SSendMail::OnSmtpStatus(const std::string& text) {
    if (onStatus) onStatus(text);
}

void SSendMail::OnSmtpNotice(const SNotice& notice) { notify_(notice); }

void SSendMail::OnSmtpEnded(SSmtpOutcome outcome) {
    if (!listMode_) {
        Done(outcome);
        return;
    }
    if (outcome == SSmtpOutcome::Cancelled) {
        header_.to = savedTo_;
        header_.Build();
        header_.cryptVersion.clear();
        Done(SSmtpOutcome::Cancelled);
        return;
    }
    if (outcome != SSmtpOutcome::Sent) failed_.push_back(entries_[nextEntry_].address);
    ++nextEntry_;
    // The next copy starts from the event loop, after this conversation is gone.
    std::weak_ptr<bool> alive = alive_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this, alive] {
            if (!alive.expired() && *alive.lock()) RunNext();
        },
        Qt::QueuedConnection);
}

void SSendMail::EndList() {
    header_.to = savedTo_;
    header_.Build();
    header_.cryptVersion.clear();
    if (failed_.empty()) {
        Done(SSmtpOutcome::Sent);
        return;
    }
    std::string names;
    for (const std::string& address : failed_) names += address + "\r\n";
    notify_(SNotice::Program(qimstr::AddressListFailures, {names}));
    Done(SSmtpOutcome::Failed);
}

void SSendMail::Done(SSmtpOutcome outcome) {
    running_ = false;
    if (outcome == SSmtpOutcome::Sent && storeSentCopy) storeSentCopy(messageFile_);
    if (onEnded) onEnded(outcome);
}

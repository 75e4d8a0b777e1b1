#include "pop3/SPop3Conversation.h"

#include <QCryptographicHash>
#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "config/QimRequestCodes.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "config/STlsConnection.h"
#include "platform/SocketCodes.h"
#include "platform/qt/SocketFactory.h"
#include "store/SGetRecvFileName.h"

using qimpop3::State;

namespace {

// The progress-star value shown last; one for the whole program.
int g_shownStars = 0;

std::string Format(unsigned id, int a, int b) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, LoadQimString(id).c_str(), a, b);
    return buffer;
}

// A notice about message a of b that quotes the server's reply.
SNotice WithReply(unsigned id, int a, int b, const std::string& reply) {
    return SNotice::Program(id, {static_cast<long>(a), static_cast<long>(b), reply});
}

bool IsLine(const char* line, int length, const char* text) {
    const int n = static_cast<int>(std::strlen(text));
    return length == n && std::memcmp(line, text, n) == 0;
}

// States of a conversation under way: the server closing in one cuts it off.
bool UnderWay(State s) { return (s > State::LookingUpHost && s < State::Finished) || s >= State::SendUidl; }

}  // namespace

SPop3Conversation::SPop3Conversation(SUserInetData& inet, const SSettingData& settings, SPop3Observer& observer,
                                     Mode mode)
    : inet_(inet),
      settings_(settings),
      observer_(observer),
      mode_(mode),
      context_(std::make_unique<QObject>()),
      socket_(platform::CreateSocket(this)),
      reader_(socket_.get()),
      header_([this](const std::string& v) { observer_.ShowFrom(v); },
              [this](const std::string& v) { observer_.ShowSubject(v); }) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, context_.get(), [this] { OnTimeout(); });
}

SPop3Conversation::~SPop3Conversation() {
    timer_.stop();
    socket_->SetListener(nullptr);
    socket_->Close();
    file_.Discard();
}

void SPop3Conversation::SetTimeout(int milliseconds) { timeoutMs_ = milliseconds > 0 ? milliseconds : 1; }

template <typename F>
void SPop3Conversation::Post(F&& step) {
    QMetaObject::invokeMethod(context_.get(), std::forward<F>(step), Qt::QueuedConnection);
}

std::string SPop3Conversation::ApopDigest(const std::string& timestamp, const std::string& password) {
    const QByteArray input = QByteArray::fromStdString(timestamp + password);
    return QCryptographicHash::hash(input, QCryptographicHash::Md5).toHex().toStdString();
}

// ---- Messages to the user ----

void SPop3Conversation::StatusText(const std::string& text) { observer_.ShowStatus(text); }
void SPop3Conversation::Status(unsigned id) { StatusText(LoadQimString(id)); }

void SPop3Conversation::Notify(unsigned id, std::vector<SNotice::Arg> args) {
    observer_.Notify(SNotice::Program(id, std::move(args)));
}

void SPop3Conversation::SocketError(const char* operation, int code) {
    observer_.Notify(SocketErrorNotice(operation, code));
}

// ---- Start, lookup, connect ----

void SPop3Conversation::Start() { Post([this] { StartStep(); }); }

void SPop3Conversation::StartStep() {
    if (starting_) return;
    starting_ = true;
    if (state_ != State::Idle || ended_) {
        Notify(qimstr::SomethingStrange);
        starting_ = false;
        return;
    }
    if (!inet_.HasReceiveAccount()) {
        if (!observer_.AskNetworkSettings()) {
            starting_ = false;
            End(qimpop3::kResultOk, true);
            return;
        }
    }
    if (inet_.password.empty() && !observer_.AskPassword()) {
        Report(qimreq::LoginPromptCancelled);
        starting_ = false;
        End(qimpop3::kResultOk, true);
        return;
    }
    apop_ = (settings_.useApop & qimpop3::kApopBit) != 0;
    deleteOnServer_ = settings_.deleteOnServer;
    if (mode_ == Mode::Receive) namer_ = std::make_unique<SGetRecvFileName>(inbox_);
    host_ = inet_.pop3Server;
    port_ = inet_.pop3Port;
    RestartTimer();
    if (platform::IsNumericHost(host_)) {
        addresses_ = {host_};
        Post([this] { ConnectStep(); });
    } else {
        Status(qimstr::LookingUpHost);
        lookupHandle_ = socket_->LookupHost(host_);
        if (lookupHandle_ == 0) {
            SocketError("Unable to get host address", socket_->LastError());
            starting_ = false;
            Abandon();
            return;
        }
        state_ = State::LookingUpHost;
    }
    starting_ = false;
}

void SPop3Conversation::OnHostLookup(int handle, int error) {
    state_ = State::Idle;
    const bool ours = handle == lookupHandle_;
    lookupHandle_ = 0;
    if (!ours) {
        Notify(qimstr::SomethingStrange);
    } else if (error == 0 && !socket_->HostAddresses().empty()) {
        addresses_ = socket_->HostAddresses();
        RestartTimer();
        Post([this] { ConnectStep(); });
        return;
    } else {
        SocketError("Unable to get host address", error ? error : platform::kWsaHostNotFound);
    }
    Abandon();
}

void SPop3Conversation::ConnectStep() {
    if (ended_) return;
    state_ = State::Connecting;
    Status(qimstr::Connecting);
    socket_->SetTlsPolicy(TlsPolicyFor(inet_, inet_.pop3Security, host_, trustedOnce_));
    if (!socket_->Connect(addresses_, port_)) {
        SocketError("Unable to connect", socket_->LastError());
        Abandon();
    }
}

// ---- Socket notifications ----

void SPop3Conversation::OnSocketEvent(int event, int error) {
    RestartTimer();
    switch (event) {
    case platform::kSocketWrite:
        if (!error) {
            WriteStep();
            return;
        }
        SocketError("Unable to write data", error);
        break;
    case platform::kSocketRead:
        if (!error) {
            ReadStep();
            return;
        }
        SocketError("Unable to read data", error);
        break;
    case platform::kSocketConnect:
        if (state_ != State::Connecting) return;
        if (!error) {
            state_ = State::Connected;
            state_ = State::AwaitGreeting;
            ShowSecured();
            return;
        }
        if (error == platform::kTlsUntrusted || error == platform::kTlsHandshakeFailed) {
            OnConnectFailed(error);
            return;
        }
        SocketError("Unable to connect", error);
        break;
    case platform::kSocketTls:
        if (state_ == State::TlsHandshake) OnTlsDone(error);
        return;
    case platform::kSocketClose:
        if (error) {
            SocketError("Unable to close socket", error);
            break;
        }
        if (state_ >= State::SendQuitAfterAuthFailure && state_ <= State::ClosedAfterAuthFailure) {
            // The refused login ends here: the server did not wait for our QUIT.
            state_ = State::ClosedAfterAuthFailure;
            Fail();
            return;
        }
        if (UnderWay(state_)) {
            // Cut off in the middle: whatever was stored stays, but the run did
            // not complete, and the message under way stays on the server.
            CloseConnection();
            if (deferred_) observer_.Notify(*deferred_);
            Notify(qimstr::SocketClosed);
            failed_ = true;
            End(qimpop3::kResultOk, true);
            return;
        }
        FinishRun();
        return;
    default:
        return;
    }
    Abandon();
}

// ---- Write step ----

bool SPop3Conversation::FlushPending() {
    while (!pendingOut_.empty()) {
        const int n = socket_->Send(pendingOut_.data(), static_cast<int>(pendingOut_.size()));
        if (n < 0) {
            if (socket_->LastError() == platform::kWsaEWouldBlock) return true;
            SocketError("SendData() Error", socket_->LastError());
            return false;
        }
        pendingOut_.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

bool SPop3Conversation::SendLine(const std::string& line) {
    pendingOut_ = line + "\r\n";
    return FlushPending();
}

void SPop3Conversation::WriteStep() {
    if (!pendingOut_.empty()) {
        if (!FlushPending()) {
            Notify(qimstr::ErrorAborting);
            Abandon();
        }
        return;
    }
    std::string line;
    State next;
    switch (state_) {
    case State::SendUser:
        line = "USER " + inet_.userName;
        next = State::AwaitUserReply;
        break;
    case State::SendPass:
        line = "PASS " + inet_.password;
        next = State::AwaitPassReply;
        break;
    case State::SendApop:
        line = "APOP " + inet_.userName + " " + digest_;
        next = State::AwaitApopReply;
        break;
    case State::SendStat:
        current_ = 1;
        line = "STAT";
        next = State::AwaitStatReply;
        break;
    case State::SendRetr:
    case State::SendDele:
        if (current_ > messageCount_) {
            Notify(qimstr::ErrorAborting);
            Abandon();
            return;
        }
        if (state_ == State::SendDele) {
            StatusText(Format(qimstr::DeletingMail, current_, messageCount_));
            line = "DELE " + std::to_string(current_);
            next = State::AwaitDeleReply;
        } else {
            line = "RETR " + std::to_string(current_);
            next = State::AwaitRetrReply;
        }
        break;
    case State::SendUidl:
        line = "UIDL";
        next = State::AwaitUidlReply;
        break;
    case State::SendStls:
        line = "STLS";
        next = State::AwaitStlsReply;
        break;
    case State::SendQuitAfterAuthFailure:
        line = "QUIT";
        next = State::AwaitQuitAfterAuthFailure;
        break;
    case State::SendQuit:
        line = "QUIT";
        next = State::AwaitQuitReply;
        break;
    default:
        return;
    }
    state_ = next;
    if (!SendLine(line)) {
        Notify(qimstr::ErrorAborting);
        Abandon();
    }
}

// ---- Read step ----

SPop3Conversation::Reply SPop3Conversation::ReadReply(const char* socketErrorText) {
    if (!reader_.MoveToMyBuffer()) {
        SocketError(socketErrorText, socket_->LastError());
        return Reply::Refused;
    }
    if (!reader_.GetALine()) return Reply::Incomplete;
    lastReply_ = reader_.ShownLine();
    return reader_.IsOK() ? Reply::Accepted : Reply::Refused;
}

void SPop3Conversation::ReadStep() {
    if (state_ == State::AwaitRetrReply) {
        MessageStart();
        return;
    }
    if (state_ == State::ReceivingBody) {
        ReceiveBody();
        return;
    }
    if (state_ == State::ReceivingUidlList) {
        ReceiveUidlListing();
        return;
    }
    const Reply reply = ReadReply("AwaitOK() Error");
    if (reply == Reply::Incomplete) return;
    const bool ok = reply == Reply::Accepted;
    switch (state_) {
    case State::AwaitGreeting:
        if (!ok) return Fail();
        if (apop_) {
            const char* stamp = nullptr;
            if (!reader_.GetApopTimestamp(&stamp) || !stamp) return Fail(qimstr::ApopNoTimestamp);
            digest_ = ApopDigest(stamp, inet_.password);
            if (digest_.size() != 32) return Fail(qimstr::ApopNoDigest);
            state_ = State::SendApop;
        } else {
            state_ = State::SendUser;
        }
        if (inet_.pop3Security == kSecurityStartTls && !socket_->Tls().secured) {
            afterStls_ = state_;
            state_ = State::SendStls;
        }
        break;
    case State::AwaitStlsReply:
        if (!ok) return Fail(SNotice::Program(qimstr::StlsRefused, {lastReply_}));
        // What else came in plain text is dropped unread.
        reader_.Discard();
        if (!socket_->StartTls()) return Fail(TlsFailureNotice(host_, platform::kTlsHandshakeFailed));
        Status(qimstr::StartingTls);
        state_ = State::TlsHandshake;
        return;
    case State::AwaitUserReply:
        if (!ok) return Fail();
        state_ = State::SendPass;
        break;
    case State::AwaitPassReply:
    case State::AwaitApopReply:
        OnLoginReply(ok);
        break;
    case State::AwaitStatReply:
        if (!ok || !StatStep()) return Fail();
        break;
    case State::AwaitUidlReply:
        if (!ok) {
            // No ids from this server: every message comes, as it always did.
            known_.reset();
            BeginRetrieval();
            break;
        }
        listing_ = std::make_unique<SUidlListing>(messageCount_);
        state_ = State::ReceivingUidlList;
        if (reader_.HasUnreadBytes()) ReceiveUidlListing();
        return;
    case State::AwaitDeleReply:
        if (!ok) {
            // The message is stored but stays on the server; QUIT still makes
            // the server forget the ones deleted before it.
            FailAfterQuit(WithReply(qimstr::DeleRefused, current_, messageCount_, lastReply_));
            break;
        }
        observer_.SetProgress(current_);
        ++current_;
        lineCounter_ = 1;
        // A cancel takes effect once the message just stored is deleted.
        state_ = cancelRequested_ || current_ > messageCount_ ? State::SendQuit : State::SendRetr;
        break;
    case State::AwaitQuitReply:
        if (!ok || deferredFailure_) return Fail(deferred_);
        Status(qimstr::SessionEnded);
        state_ = State::Finished;
        FinishRun();
        return;
    case State::SendPass:
    case State::SendApop:
    case State::SendQuitAfterAuthFailure:
    case State::AwaitQuitAfterAuthFailure:
        return Fail();
    default:
        return Fail(qimstr::SomethingStrange);
    }
    socket_->Rearm();
}

void SPop3Conversation::OnLoginReply(bool accepted) {
    Report(accepted ? qimreq::LoginAccepted : qimreq::LoginRefused);
    if (mode_ == Mode::LoginOnly) state_ = State::SendQuit;
    else state_ = accepted ? State::SendStat : State::SendQuitAfterAuthFailure;
}

bool SPop3Conversation::StatStep() {
    int count = 0;
    long size = 0;
    if (!reader_.Stat(&count, &size)) return false;
    messageCount_ = count;
    mailboxSize_ = size;
    if (count < 1) {
        Status(qimstr::NoMailOnServer);
        state_ = State::SendQuit;
    } else if (cancelRequested_) {
        state_ = State::SendQuit;
    } else if (!deleteOnServer_ && mode_ == Mode::Receive) {
        known_ = std::make_unique<SKnownUidls>(inbox_, inet_.userName, host_, port_);
        if (known_->Load() == SKnownUidls::LoadResult::Broken) FailAfterQuit(UidlFileNotice(qimstr::UidlFileBroken));
        else state_ = State::SendUidl;
    } else {
        BeginRetrieval();
    }
    return true;
}

void SPop3Conversation::BeginRetrieval() {
    current_ = NextToRetrieve(1);
    if (cancelRequested_) {
        state_ = State::SendQuit;
        return;
    }
    if (current_ > messageCount_) {
        Status(qimstr::NoNewMailOnServer);
        state_ = State::SendQuit;
        return;
    }
    observer_.MailWaiting(messageCount_);
    Status(qimstr::ReceiveStarting);
    state_ = State::SendRetr;
    lineCounter_ = 1;
    observer_.SetProgressRange(1, messageCount_);
    if (current_ > 1) observer_.SetProgress(current_ - 1);
}

int SPop3Conversation::NextToRetrieve(int from) const {
    if (!known_ || !listing_) return from;
    while (from <= messageCount_) {
        const std::string& uid = listing_->UidOf(from);
        // A message the server listed no id for cannot be recognised: it comes.
        if (uid.empty() || !known_->Contains(uid)) break;
        ++from;
    }
    return from;
}

SNotice SPop3Conversation::UidlFileNotice(unsigned id) const {
    if (id == qimstr::UidlFileNotWritten) return SNotice::Program(id, {known_->Path(), static_cast<long>(known_->Error())});
    return SNotice::Program(id, {known_->Path()});
}

// ---- The unique ids ----

void SPop3Conversation::ReceiveUidlListing() {
    if (!reader_.MoveToMyBuffer()) {
        SocketError("AwaitOK() Error", socket_->LastError());
        return Fail();
    }
    while (char* line = reader_.GetALine()) {
        const int length = reader_.LineLength();
        lastReply_ = reader_.ShownLine();
        const SNotice broken = SNotice::Program(qimstr::UidlReplyBroken, {lastReply_});
        // No line of a listing comes near the reader's piece size.
        if (reader_.IsCut()) return Fail(broken);
        if (IsLine(line, length, ".\r\n")) {
            if (EndOfUidlListing()) socket_->Rearm();
            return;
        }
        std::size_t n = static_cast<std::size_t>(length);
        n -= n >= 2 && line[n - 2] == '\r' ? 2 : 1;
        if (!listing_->AddLine(line, n)) return Fail(broken);
    }
}

bool SPop3Conversation::EndOfUidlListing() {
    // Ids of messages the server no longer holds are forgotten.
    if (known_->KeepOnly(listing_->Ids()) && !known_->Save()) {
        FailAfterQuit(UidlFileNotice(qimstr::UidlFileNotWritten));
        return true;
    }
    BeginRetrieval();
    return true;
}

bool SPop3Conversation::RecordStored() {
    if (!known_ || !listing_) return true;
    const std::string& uid = listing_->UidOf(current_);
    if (uid.empty()) return true;
    known_->Add(uid);
    if (known_->Save()) return true;
    FailAfterQuit(UidlFileNotice(qimstr::UidlFileNotWritten));
    return false;
}

// ---- One message ----

void SPop3Conversation::MessageStart() {
    StatusText(Format(qimstr::ReceivingMail, current_, messageCount_));
    const Reply reply = ReadReply("AwaitOK() Error");
    if (reply == Reply::Incomplete) return;
    if (reply == Reply::Refused) {
        // Still in step with the server: QUIT makes it forget the messages
        // already stored, so the next run does not bring them again.
        FailAfterQuit(WithReply(qimstr::RetrRefused, current_, messageCount_, lastReply_));
        socket_->Rearm();
        return;
    }
    if (!namer_ || !file_.Create(inbox_.c_str(), qimpop3::kReceiveTempPrefix)) return Fail(qimstr::RecvFileCannotOpen);
    messageSize_ = MessageSizeOf(lastReply_);
    received_ = 0;
    partShown_ = 0;
    state_ = State::ReceivingBody;
    inHeader_ = true;
    continuing_ = false;
    header_.Init();
    if (reader_.HasUnreadBytes()) ReceiveBody();
}

long SPop3Conversation::MessageSizeOf(const std::string& retrReply) const {
    const char* p = retrReply.c_str();
    if (std::strncmp(p, "+OK", 3) == 0) {
        p += 3;
        while (*p == ' ') ++p;
        char* end = nullptr;
        const long size = std::strtol(p, &end, 10);
        if (end != p && size > 0) return size;
    }
    return messageCount_ > 0 ? mailboxSize_ / messageCount_ : 0;
}

void SPop3Conversation::CountReceived(int bytes) {
    received_ += bytes;
    if (messageSize_ <= 0) return;
    // 100 belongs to the end of the message, whatever the size said.
    const long percent = std::min<long>(received_ * 100 / messageSize_, 99);
    if (percent <= partShown_) return;
    partShown_ = static_cast<int>(percent);
    observer_.SetMessagePart(current_, partShown_);
}

void SPop3Conversation::ShowStars() {
    const int v = (lineCounter_ % 100) / 10;
    if (v != g_shownStars) {
        g_shownStars = v;
        const std::string stars(static_cast<std::size_t>(v + 1), '*');
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, LoadQimString(qimstr::ReceivingStars).c_str(), current_, messageCount_,
                      stars.c_str());
        StatusText(buffer);
    }
    ++lineCounter_;
}

void SPop3Conversation::ReceiveBody() {
    if (!reader_.MoveToMyBuffer()) {
        SocketError("AwaitMailBody() Error", socket_->LastError());
        return Fail();
    }
    while (char* line = reader_.GetASjisLine()) {
        int length = reader_.SjisLineLength();
        // A piece that continues a cut line is not at a line start: neither the
        // end mark nor dot-stuffing nor the end of the header can be in it.
        const bool atStart = !continuing_;
        continuing_ = reader_.IsCut();
        ShowStars();
        CountReceived(reader_.LineLength());
        if (atStart && IsLine(line, length, ".\r\n")) {
            if (EndOfMessage()) socket_->Rearm();
            return;
        }
        if (atStart && line[0] == '.') {
            ++line;
            --length;
        }
        if (inHeader_) {
            header_.Execute(line);
            if (atStart && IsLine(line, length, "\r\n")) {
                inHeader_ = false;
                header_.Finish();
            }
        }
        if (deferredFailure_) continue;  // the rest of a message that cannot be stored
        if (!file_.Write(line, static_cast<std::size_t>(length))) {
            // The message stays on the server; its rest is read and dropped
            // (the state stays, the lines are the message's) so that the
            // conversation can end with QUIT after its end mark.
            file_.Discard();
            DeferFailure(WriteError(file_.Error()));
        }
    }
}

bool SPop3Conversation::EndOfMessage() {
    if (inHeader_) header_.Finish();
    if (deferredFailure_) {
        state_ = State::SendQuit;
        return true;
    }
    // The message is on disk under its number before the server may forget it.
    const std::string path = namer_->Next();
    if (path.empty()) {
        file_.Discard();
        FailAfterQuit(SNotice::Program(qimstr::RecvFileCannotOpen));
        state_ = State::SendQuit;
        return true;
    }
    if (!file_.Commit(path.c_str())) {
        FailAfterQuit(WriteError(file_.Error()));
        state_ = State::SendQuit;
        return true;
    }
    ++stored_;
    // A stored message is deleted even when the user cancelled meanwhile: left
    // on the server it would be stored again by the next run.
    if (deleteOnServer_) {
        state_ = State::SendDele;
    } else if (!RecordStored()) {
        // Ends with QUIT: further messages would come again next time.
    } else if (cancelRequested_) {
        state_ = State::SendQuit;
    } else {
        observer_.SetProgress(current_);
        current_ = NextToRetrieve(current_ + 1);
        state_ = current_ > messageCount_ ? State::SendQuit : State::SendRetr;
    }
    return true;
}

// ---- Ending ----

void SPop3Conversation::Fail(std::optional<SNotice> specific) {
    // The socket goes first, so nothing arrives while the boxes are open.
    CloseConnection();
    if (specific) observer_.Notify(*specific);
    Notify(qimstr::ErrorAborting);
    End(qimpop3::kResultCancel, true);
}

SNotice SPop3Conversation::WriteError(int code) {
    const bool full = code == ENOSPC || code == EDQUOT;
    return SNotice::Program(full ? qimstr::RecvDiskFullStays : qimstr::RecvWriteFailedStays, {static_cast<long>(code)});
}

void SPop3Conversation::DeferFailure(const SNotice& notice) {
    deferredFailure_ = true;
    deferred_ = notice;
}

void SPop3Conversation::FailAfterQuit(const SNotice& notice) {
    DeferFailure(notice);
    state_ = State::SendQuit;
}

void SPop3Conversation::Abandon() {
    CloseConnection();
    End(qimpop3::kResultOk, true);
}

void SPop3Conversation::CloseConnection() {
    timer_.stop();
    if (state_ == State::Idle && lookupHandle_ == 0 && !file_.IsOpen()) return;
    Status(qimstr::Disconnecting);
    if (lookupHandle_) socket_->CancelLookup(lookupHandle_);
    lookupHandle_ = 0;
    socket_->Close();
    // A message not received whole stays on the server and leaves no file.
    file_.Discard();
    pendingOut_.clear();
    StatusText(std::string());
    state_ = State::Idle;
    if (mode_ == Mode::LoginOnly) End(qimpop3::kResultCancel, loginCode_ == 0);
}

void SPop3Conversation::FinishRun() {
    CloseConnection();
    End(qimpop3::kResultOk, failed_);
}

void SPop3Conversation::End(int result, bool failed) {
    if (ended_) return;
    ended_ = true;
    timer_.stop();
    Post([this, result, failed] { observer_.Ended(result, failed); });
}

void SPop3Conversation::Report(int code) {
    loginCode_ = code;
    Post([this, code] { observer_.ReportLogin(code); });
}

bool SPop3Conversation::RequestClose() {
    if (ended_) return true;
    if (state_ == State::Idle) {
        End(qimpop3::kResultOk, failed_);
        return true;
    }
    if (state_ == State::LookingUpHost) {
        CloseConnection();
        End(qimpop3::kResultOk, false);
        return true;
    }
    if (!cancelRequested_) {
        cancelRequested_ = true;
        return false;
    }
    // Asked again: the user will not wait for the server any longer.
    CloseConnection();
    End(qimpop3::kResultOk, true);
    return true;
}

void SPop3Conversation::RestartTimer() { timer_.start(timeoutMs_); }

void SPop3Conversation::OnTimeout() {
    if (ended_) return;
    CloseConnection();
    Notify(qimstr::ReceiveTimedOut, {static_cast<long>((timeoutMs_ + 999) / 1000)});
    End(qimpop3::kResultOk, true);
}

// ---- TLS ----

void SPop3Conversation::ShowSecured() {
    const std::string text = TlsSessionText(socket_->Tls());
    if (!text.empty()) observer_.ShowSecurity(text);
}

void SPop3Conversation::OnConnectFailed(int error) {
    if (error == platform::kTlsUntrusted) {
        CertificateRefused();
        return;
    }
    observer_.Notify(TlsFailureNotice(host_, error));
    Abandon();
}

// Verification refused the server's certificate: the user decides; trusted,
// the run begins again on a new connection.
void SPop3Conversation::CertificateRefused() {
    const platform::TlsState tls = socket_->Tls();
    socket_->Close();
    SNotice notice;
    if (!AskToTrust(host_, tls, trustedOnce_, notice)) {
        observer_.Notify(notice);
        Abandon();
        return;
    }
    if (notice.id != 0) observer_.Notify(notice);
    Post([this] { ConnectStep(); });
}

void SPop3Conversation::OnTlsDone(int error) {
    if (error == platform::kTlsUntrusted) {
        CertificateRefused();
        return;
    }
    if (error) {
        observer_.Notify(TlsFailureNotice(host_, error));
        Abandon();
        return;
    }
    ShowSecured();
    state_ = afterStls_;
}

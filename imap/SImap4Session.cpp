// The session's life: requests, connecting and logging in, TLS, the
// socket's notifications, the end of operations and the timers. What it
// sends is in SImap4SessionCommands.cpp, how it reads the replies in
// SImap4SessionReplies.cpp.
#include "imap/SImap4Session.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <algorithm>

#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/STlsConnection.h"
#include "config/SUserInetData.h"
#include "imap/Imap4Operations.h"
#include "imap/SImap4Flags.h"
#include "imap/SImap4HeaderSink.h"
#include "platform/SocketCodes.h"
#include "platform/qt/SocketFactory.h"

using qimimap::State;

// ---- Life ----

SImap4Session::SImap4Session(SUserInetData& inet, const SSettingData& settings, SImap4Observer& observer)
    : inet_(inet),
      settings_(settings),
      observer_(observer),
      context_(std::make_unique<QObject>()),
      socket_(platform::CreateSocket(this)),
      reader_(socket_.get()),
      display_(observer) {
    timeout_ = new QTimer(context_.get());
    timeout_->setSingleShot(true);
    QObject::connect(timeout_, &QTimer::timeout, context_.get(), [this] { OnTimeout(); });
    keepAlive_ = new QTimer(context_.get());
    QObject::connect(keepAlive_, &QTimer::timeout, context_.get(), [this] { OnKeepAliveTick(); });
}

SImap4Session::~SImap4Session() {
    alive_.reset();
    context_.reset();
    socket_->SetListener(nullptr);
    // LOGOUT without waiting for the reply; not in the middle of a command,
    // where it would be taken as part of it.
    if (connected_ && pendingOut_.empty() && segments_.empty() && state_ != State::ContinuationReceived &&
        state_ != State::SendingAppendLines) {
        std::string line(tag_.Next());
        line.append(" LOGOUT\r\n");
        socket_->Send(line.data(), static_cast<int>(line.size()));
    }
    socket_->Close();
}

// Posted work runs from the application's event loop, so that an observer may
// destroy the session from a completion.
template <typename F>
void SImap4Session::Post(F&& step) {
    std::weak_ptr<bool> alive = alive_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [alive, step = std::forward<F>(step)]() mutable {
            if (!alive.expired()) step();
        },
        Qt::QueuedConnection);
}

void SImap4Session::SetTimeout(int milliseconds) { timeoutMs_ = milliseconds > 0 ? milliseconds : 1; }

void SImap4Session::SetKeepAliveTick(int milliseconds) {
    keepAliveTickMs_ = milliseconds > 0 ? milliseconds : 1;
    if (keepAlive_->isActive()) keepAlive_->start(keepAliveTickMs_);
}

void SImap4Session::SetStartingUp(bool startingUp, bool ctrlHeld) {
    startingUp_ = startingUp;
    ctrlHeld_ = ctrlHeld;
}

bool SImap4Session::IsConnected() const { return connected_; }
bool SImap4Session::IsLoggedIn() const { return loggedIn_; }

std::string SImap4Session::ServerNameOf(const std::string& localPath) const { return Names().ServerNameOf(localPath); }
std::string SImap4Session::LocalPathOf(const std::string& serverName) const { return Names().LocalPathOf(serverName); }
std::string SImap4Session::MailboxOf(const std::string& localPath) const { return Names().MailboxOf(localPath); }

// ---- Messages to the user ----

void SImap4Session::Notify(unsigned id, std::vector<SNotice::Arg> args) {
    observer_.Notify(SNotice::Program(id, std::move(args)));
}

void SImap4Session::ReportSocketError(const std::string& operation, int code) {
    observer_.SocketError(code ? NoticeText(SocketErrorNotice(operation.c_str(), code)) : operation, code);
}

void SImap4Session::StatusText(const std::string& text) { display_.Status(text); }

void SImap4Session::Complete(int operation, int result, SImap4Target target) {
    const int replyTo = request_.replyTo;
    Post([this, operation, result, target, replyTo] { observer_.Completed(operation, result, target, replyTo); });
}

// ---- Requests ----

bool SImap4Session::Request(const SImap4Request& request, int operation) {
    if (!qimimap::IsRequestOperation(operation)) return false;
    // A header fetch has nowhere to put what it receives without its cache.
    if (qimimap::IsHeaderFetch(operation) && !request.cache) return false;
    if (busy_) return false;
    if (operation_ != 0) {
        // The keep-alive NOOP is under way: the request starts at its end.
        queued_.emplace(request, operation);
        busy_ = true;
        return true;
    }
    request_ = request;
    operation_ = requested_ = operation;
    busy_ = true;
    started_ = false;
    const unsigned serial = ++serial_;
    Post([this, serial] { StartOperation(serial); });
    return true;
}

void SImap4Session::StartOperation(unsigned serial) {
    if (serial != serial_ || started_ || operation_ == 0) return;  // ended before it began
    started_ = true;
    const int op = operation_;
    if (op != qimimap::kOpNoop) {
        shown_ = true;
        observer_.ShowSession(true);
    }
    keepAlive_->stop();
    RestartTimeout();
    PrepareOperation();
    if (op == qimimap::kOpConnect) {
        logoutAfterLogin_ = false;
        if (loggedIn_) {
            Finish(qimimap::kResultLoggedIn, SImap4Target::Session);
            return;
        }
        if (connected_) {
            ContinueToLogin();
            return;
        }
        // A check of the account from a disconnected session leaves it so.
        logoutAfterLogin_ = true;
    } else if (loggedIn_) {
        state_ = delimiter_.empty() ? State::SendDelimiterList : FirstState();
        socket_->Rearm();
        return;
    } else if (connected_) {
        ContinueToLogin();
        return;
    }
    if (!BeginConnect()) {
        Complete(qimimap::kOpLoginResult, qimimap::kResultCannotStart, SImap4Target::Session);
        Finish(qimimap::kResultFailure, SImap4Target::Session);
    }
}

void SImap4Session::PrepareOperation() {
    const int op = operation_;
    current_ = request_.folder;
    if (op == qimimap::kOpCopy) current_ = request_.source;
    if (op == qimimap::kOpRenameFolder || op == qimimap::kOpDeleteFolder || op == qimimap::kOpDeleteFolderOnly)
        current_ = qimimap::kQimPRoot;
    if (op == qimimap::kOpMarkDeleted) SetStore(request_.first, request_.last, true, qimimap::kFlagDeleted);
    if (op == qimimap::kOpChangeFlags)
        SetStore(request_.first, request_.last, request_.add, qimimap::SettableFlags(qimimap::FlagsOfMark(request_.mark)));
    creatingInimbox_ = listedAfterCreate_ = inimboxSeen_ = false;
}

State SImap4Session::FirstState() const {
    switch (operation_) {
    case qimimap::kOpCreateFolder: return State::SendCreate;
    case qimimap::kOpListFolders: return State::SendRootList;
    case qimimap::kOpCopy: return State::SendExamine;
    case qimimap::kOpCloseFolder: return State::SendClose;
    case qimimap::kOpNoop: return State::SendNoop;
    default: return qimimap::IsAppend(operation_) ? State::SendAppend : State::SendSelect;
    }
}

void SImap4Session::SetStore(int first, int last, bool add, unsigned flags) {
    storeFirst_ = first;
    storeLast_ = last;
    storeAdd_ = add;
    storeFlags_ = flags;
}

void SImap4Session::Cancel() {
    if (operation_ == 0) return;
    if (state_ == State::Idle || state_ == State::LookingUpHost) {
        if (lookupHandle_) socket_->CancelLookup(lookupHandle_);
        lookupHandle_ = 0;
        state_ = State::Idle;
        Finish(qimimap::kResultFailure, SImap4Target::None);
        return;
    }
    if (!abortRequested_) {
        abortRequested_ = true;
        return;
    }
    // Asked again: the user will not wait for the server any longer.
    Disconnect();
    Finish(qimimap::kResultFailure, SImap4Target::None);
}

void SImap4Session::Emergency() {
    observer_.Notify(SNotice::Program(qimstr::CloseQimAfterDialog, {}, platform::MessageIcon::Exclamation));
    if (operation_ != 0) Finish(qimimap::kResultFailure, SImap4Target::Session);
}

void SImap4Session::Reset() {
    Disconnect();
    if (operation_ != 0 || busy_) {
        queued_.reset();
        EndOperation();
    }
}

// ---- Connecting ----

bool SImap4Session::BeginConnect() {
    if (!inet_.HasReceiveAccount() && !(observer_.AskNetworkSettings() && inet_.HasReceiveAccount())) return false;
    if (inet_.password.empty() && !(observer_.AskPassword() && !inet_.password.empty())) return false;
    RestartTimeout();  // the questions may have taken long
    // At start-up the inbox's headers may come for recent mail only.
    if (operation_ == qimimap::kOpFetchHeaders && startingUp_ && (settings_.onlyNewMailsAtStart || ctrlHeld_))
        operation_ = qimimap::kOpFetchRecentHeaders;
    host_ = inet_.pop3Server;
    trustedOnce_.clear();
    if (platform::IsNumericHost(host_)) {
        addresses_ = {host_};
        Post([this, serial = serial_] {
            if (serial == serial_ && operation_ != 0) ConnectStep();
        });
        return true;
    }
    display_.Status(qimstr::LookingUpHost);
    display_.Caption(LoadQimString(qimstr::LookingUpHost));
    lookupHandle_ = socket_->LookupHost(host_);
    if (lookupHandle_ == 0) {
        ReportSocketError("Unable to get host address", socket_->LastError());
        Finish(qimimap::kResultFailure, SImap4Target::Session);
        return true;
    }
    state_ = State::LookingUpHost;
    return true;
}

void SImap4Session::OnHostLookup(int handle, int error) {
    state_ = State::Idle;
    const bool ours = handle == lookupHandle_;
    lookupHandle_ = 0;
    if (operation_ == 0) return;
    if (!ours) {
        Notify(qimstr::SomethingStrange);
    } else if (error != 0 || socket_->HostAddresses().empty()) {
        ReportSocketError("Unable to get host address", error ? error : platform::kWsaHostNotFound);
    } else {
        addresses_ = socket_->HostAddresses();
        RestartTimeout();
        Post([this, serial = serial_] {
            if (serial == serial_ && operation_ != 0) ConnectStep();
        });
        return;
    }
    Finish(qimimap::kResultFailure, SImap4Target::Session);
}

void SImap4Session::ConnectStep() {
    if (socketUsed_) {
        // Every connection has a socket of its own: nothing of the one before
        // can reach this one.
        socket_->SetListener(nullptr);
        socket_->Close();
        socket_ = platform::CreateSocket(this);
        reader_.SetSocket(socket_.get());
    }
    socketUsed_ = true;
    state_ = State::Connecting;
    display_.Status(qimstr::Connecting);
    socket_->SetTlsPolicy(TlsPolicyFor(inet_, inet_.pop3Security, host_, trustedOnce_));
    if (!socket_->Connect(addresses_, inet_.pop3Port)) {
        ReportSocketError("Unable to connect", socket_->LastError());
        state_ = State::Idle;
        Finish(qimimap::kResultFailure, SImap4Target::Session);
    }
}

void SImap4Session::OnGreeting(bool ok) {
    if (!ok) {
        FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {reader_.ShownLine()}));
        return;
    }
    display_.Status(qimstr::ImapConnected);
    connected_ = true;
    state_ = State::GreetingReceived;
    caps_.Clear();
    if (caps_.TakeFrom(reader_.LineText())) capsLine_ = reader_.ShownLine();
    ContinueToLogin();
}

// The capabilities first (from the greeting or asked for), then STARTTLS when
// the account wants it, then the login.
void SImap4Session::ContinueToLogin() {
    if (!caps_.known) {
        state_ = State::SendCapability;
    } else if (inet_.pop3Security == kSecurityStartTls && !socket_->Tls().secured) {
        if (!caps_.startTls) {
            // Never a login in plain text instead.
            FailAndDisconnect(SNotice::Program(qimstr::ImapStartTlsNotOffered, {capsLine_}));
            return;
        }
        state_ = State::SendStartTls;
    } else {
        BeginLogin();
        return;
    }
    socket_->Rearm();
}

void SImap4Session::BeginLogin() {
    if (inet_.password.empty() && !(observer_.AskPassword() && !inet_.password.empty())) {
        Complete(qimimap::kOpLoginResult, qimimap::kResultCannotStart, SImap4Target::Session);
        Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    RestartTimeout();
    if (!caps_.loginDisabled) {
        state_ = State::SendLogin;
    } else if (caps_.authPlain && socket_->Tls().secured) {
        // The password goes only inside TLS: the receive side has no
        // permission to send it in plain text.
        state_ = State::SendAuthenticate;
    } else {
        // No login can happen on this connection.
        FailAndDisconnect(SNotice::Program(qimstr::ImapLoginDisabled));
        return;
    }
    socket_->Rearm();
}

void SImap4Session::OnLoginReply(bool ok) {
    if (ok) display_.Succeeded();
    else display_.Ended();
    loginAccepted_ = ok;
    loggedIn_ = ok;
    if (ok) state_ = State::LoggedIn;
    Complete(qimimap::kOpLoginResult, ok ? qimimap::kResultLoggedIn : qimimap::kResultLoginFailed,
             SImap4Target::Session);
    if (operation_ == qimimap::kOpConnect && logoutAfterLogin_) {
        state_ = State::SendLogout;
        socket_->Rearm();
    } else if (!ok) {
        Fail(SNotice::Program(qimstr::ImapLoginRefused, {lastReply_}));
    } else if (operation_ == qimimap::kOpConnect) {
        Finish(qimimap::kResultSuccess, SImap4Target::Session);
    } else {
        state_ = State::SendDelimiterList;
        socket_->Rearm();
    }
}

void SImap4Session::OnLogoutDone() {
    display_.Succeeded();
    Disconnect();
    Finish(loginAccepted_ ? qimimap::kResultSuccess : qimimap::kResultFailure, SImap4Target::Session);
}

// ---- TLS ----

void SImap4Session::ShowSecured() {
    const std::string text = TlsSessionText(socket_->Tls());
    if (!text.empty()) observer_.ShowSecurity(text);
}

// Verification refused the server's certificate: the user decides; trusted,
// the operation goes on over a new connection.
void SImap4Session::CertificateRefused() {
    const platform::TlsState tls = socket_->Tls();
    Disconnect();
    SNotice notice;
    if (!AskToTrust(host_, tls, trustedOnce_, notice)) {
        observer_.Notify(notice);
        Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    if (notice.id != 0) observer_.Notify(notice);
    RestartTimeout();
    Post([this, serial = serial_] {
        if (serial == serial_ && operation_ != 0) ConnectStep();
    });
}

void SImap4Session::OnTlsDone(int error) {
    if (error == platform::kTlsUntrusted) {
        CertificateRefused();
        return;
    }
    if (error) {
        FailAndDisconnect(TlsFailureNotice(host_, error));
        return;
    }
    ShowSecured();
    // Nothing said before the handshake counts: the capabilities are asked again.
    reader_.Reset();
    caps_.Clear();
    state_ = State::SendCapability;
    socket_->Rearm();
}

// ---- Socket notifications ----

void SImap4Session::OnSocketEvent(int event, int error) {
    if (operation_ != 0) RestartTimeout();
    switch (event) {
    case platform::kSocketWrite:
        if (!error) return WriteStep();
        ReportSocketError("Unable to write data", error);
        break;
    case platform::kSocketRead:
        if (!error) return ReadStep();
        ReportSocketError("Unable to read data", error);
        break;
    case platform::kSocketConnect:
        if (state_ != State::Connecting) return;
        if (!error) {
            state_ = State::AwaitGreeting;
            ShowSecured();
            return;
        }
        if (error == platform::kTlsUntrusted) return CertificateRefused();
        if (error == platform::kTlsHandshakeFailed) return FailAndDisconnect(TlsFailureNotice(host_, error));
        ReportSocketError("Unable to connect", error);
        break;
    case platform::kSocketTls:
        if (state_ == State::TlsHandshake) OnTlsDone(error);
        return;
    case platform::kSocketClose:
        // The server may close at once after its LOGOUT reply.
        if (state_ == State::AwaitLogout && !error) return OnLogoutDone();
        if (error) ReportSocketError("Close socket error", error);
        else if (connected_ || operation_ != 0) ReportSocketError(LoadQimString(qimstr::SocketClosed), 0);
        break;
    default:
        return;
    }
    // A broken connection: the next request connects anew.
    Disconnect();
    if (operation_ != 0) Finish(qimimap::kResultFailure, SImap4Target::Session);
}

// ---- Ending ----

void SImap4Session::Finish(int result, SImap4Target target) {
    const int op = requested_;
    if (result == qimimap::kResultFailure) AbandonHeaderFetch();
    if (op != 0) Complete(op, result, target);
    EndOperation();
}

void SImap4Session::Fail(std::optional<SNotice> specific) {
    if (specific) observer_.Notify(*specific);
    Notify(qimstr::ErrorAborting);
    Finish(qimimap::kResultFailure, SImap4Target::Session);
}

void SImap4Session::FailAndDisconnect(const SNotice& notice) {
    observer_.Notify(notice);
    Disconnect();
    if (operation_ != 0) Finish(qimimap::kResultFailure, SImap4Target::Session);
}

bool SImap4Session::CommandInFlight() const {
    return !awaitingTag_.empty() || !pendingOut_.empty() || !segments_.empty();
}

void SImap4Session::Disconnect() {
    if (lookupHandle_) socket_->CancelLookup(lookupHandle_);
    lookupHandle_ = 0;
    socket_->Close();
    ++connection_;
    reader_.Reset();
    pendingOut_.clear();
    segments_.clear();
    awaitingTag_.clear();
    connected_ = loggedIn_ = false;
    caps_.Clear();
    state_ = State::Idle;
    append_.Close();
    bodyFile_.Close();
    listFile_.Close();
}

void SImap4Session::EndOperation() {
    // Ended in the middle of a command: the server's reply to it would come
    // to the next one, so the connection goes.
    if (CommandInFlight() || state_ == State::SendingAppendLines) Disconnect();
    AbandonHeaderFetch();
    state_ = loggedIn_ ? State::LoggedInIdle : connected_ ? State::ConnectedIdle : State::Idle;
    busy_ = false;
    operation_ = requested_ = 0;
    started_ = false;
    abortRequested_ = false;
    response_ = Response::None;
    listOpenPending_ = creatingInimbox_ = listedAfterCreate_ = false;
    append_.Close();
    bodyFile_.Close();
    listFile_.Close();
    timeout_->stop();
    if (shown_) {
        shown_ = false;
        observer_.ShowSession(false);
    }
    StartKeepAlive();
    if (queued_) {
        const auto [request, op] = *queued_;
        queued_.reset();
        Request(request, op);
    }
}

// ---- Timers ----

void SImap4Session::RestartTimeout() { timeout_->start(timeoutMs_); }

void SImap4Session::OnTimeout() {
    if (operation_ == 0) return;
    Notify(qimstr::ImapTimedOut, {static_cast<long>((timeoutMs_ + 999) / 1000)});
    Disconnect();
    Finish(qimimap::kResultFailure, SImap4Target::Session);
}

void SImap4Session::StartKeepAlive() {
    if (!settings_.sendNoop) return;
    ticks_ = 0;
    keepAlive_->start(keepAliveTickMs_);
}

void SImap4Session::OnKeepAliveTick() {
    if (operation_ != 0 || busy_) return;
    if (++ticks_ < std::max(1, settings_.noopMinutes)) return;
    ticks_ = 0;
    // Only a session that is logged in has a connection worth keeping.
    if (loggedIn_) StartKeepAliveNoop();
}

void SImap4Session::StartKeepAliveNoop() {
    operation_ = qimimap::kOpNoop;
    requested_ = 0;
    started_ = true;
    keepAlive_->stop();
    RestartTimeout();
    state_ = State::SendNoop;
    socket_->Rearm();
}

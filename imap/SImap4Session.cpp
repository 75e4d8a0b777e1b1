#include "imap/SImap4Session.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/STlsConnection.h"
#include "config/SUserInetData.h"
#include "imap/SImap4Command.h"
#include "imap/SImap4Flags.h"
#include "imap/SImap4HeaderSink.h"
#include "platform/SocketCodes.h"
#include "platform/qt/SocketFactory.h"

using qimimap::State;
using Piece = SImap4Read::Piece;

namespace {

// Most bytes of a message an APPEND sends from one write notification.
constexpr std::size_t kAppendBatchBytes = 32 * 1024;
// A header line longer than this is cut (the rest of it is dropped).
constexpr std::size_t kHeaderLineMax = 16 * 1024;

bool IsKnownOperation(int op) {
    switch (op) {
    case qimimap::kOpConnect:
    case qimimap::kOpCreateFolder:
    case qimimap::kOpListFolders:
    case qimimap::kOpFetchHeaders:
    case qimimap::kOpRenameFolder:
    case qimimap::kOpDeleteFolder:
    case qimimap::kOpCopy:
    case qimimap::kOpMarkDeleted:
    case qimimap::kOpCloseFolder:
    case qimimap::kOpFetchBody:
    case qimimap::kOpFetchBodyForReply:
    case qimimap::kOpAppend:
    case qimimap::kOpAppendSent:
    case qimimap::kOpReplace:
    case qimimap::kOpFetchBodyForForward:
    case qimimap::kOpDeleteFolderOnly:
    case qimimap::kOpChangeFlags:
    case qimimap::kOpNoop:
    case qimimap::kOpAppendSettings:
    case qimimap::kOpSearch:
    case qimimap::kOpFetchRecentHeaders:
        return true;
    default:
        return false;
    }
}

bool IsHeaderFetch(int op) { return op == qimimap::kOpFetchHeaders || op == qimimap::kOpFetchRecentHeaders; }
bool IsBodyFetch(int op) {
    return op == qimimap::kOpFetchBody || op == qimimap::kOpFetchBodyForReply || op == qimimap::kOpFetchBodyForForward;
}
bool IsAppend(int op) {
    return op == qimimap::kOpAppend || op == qimimap::kOpAppendSent || op == qimimap::kOpAppendSettings ||
           op == qimimap::kOpReplace;
}

// Flags a client may set: \Recent belongs to the server, which refuses it.
unsigned SettableFlags(unsigned flags) { return flags & ~qimimap::kFlagRecent; }

std::string Range(int first, int last) {
    std::string text(" ");
    return text.append(std::to_string(first)).append(":").append(std::to_string(last));
}

std::string Printed(const char* format, long a, long b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

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
    if (!IsKnownOperation(operation)) return false;
    // A header fetch has nowhere to put what it receives without its cache.
    if (IsHeaderFetch(operation) && !request.cache) return false;
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
        SetStore(request_.first, request_.last, request_.add, SettableFlags(qimimap::FlagsOfMark(request_.mark)));
    creatingInimbox_ = listedAfterCreate_ = inimboxSeen_ = false;
}

State SImap4Session::FirstState() const {
    switch (operation_) {
    case qimimap::kOpCreateFolder: return State::SendCreate;
    case qimimap::kOpListFolders: return State::SendRootList;
    case qimimap::kOpCopy: return State::SendExamine;
    case qimimap::kOpCloseFolder: return State::SendClose;
    case qimimap::kOpNoop: return State::SendNoop;
    default: return IsAppend(operation_) ? State::SendAppend : State::SendSelect;
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

// ---- Sending ----

bool SImap4Session::FlushPending() {
    while (!pendingOut_.empty()) {
        const int n = socket_->Send(pendingOut_.data(), static_cast<int>(pendingOut_.size()));
        if (n < 0) {
            if (socket_->LastError() == platform::kWsaEWouldBlock) return true;  // the rest goes at the next write-ready
            ReportSocketError("SendData() Error", socket_->LastError());
            return false;
        }
        pendingOut_.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

bool SImap4Session::Send(const SImap4Command& command, State next) {
    const char* tag = tag_.Next();
    std::vector<std::string> segments = command.Segments(tag);
    display_.Running(command.Word());
    awaitingTag_ = tag;
    state_ = next;
    pendingOut_ = std::move(segments.front());
    segments_.assign(std::make_move_iterator(segments.begin() + 1), std::make_move_iterator(segments.end()));
    return FlushPending();
}

void SImap4Session::WriteStep() {
    if (!pendingOut_.empty()) {
        if (!FlushPending()) {
            Notify(qimstr::ErrorAborting);
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
        return;
    }
    if (operation_ == 0) return;
    if (abortRequested_) {
        // Between commands, or in the middle of a message whose literal the
        // server still counts: then only a new connection gets in step again.
        if (state_ == State::SendingAppendLines) Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::None);
        return;
    }
    SendForState();
}

void SImap4Session::SendForState() {
    const SImap4MailboxNames names = Names();
    bool sent = true;
    switch (state_) {
    case State::SendCapability:
        sent = Send(SImap4Command("CAPABILITY"), State::AwaitCapability);
        break;
    case State::SendStartTls:
        sent = Send(SImap4Command("STARTTLS"), State::AwaitStartTls);
        break;
    case State::SendLogin:
        sent = Send(SImap4Command("LOGIN").Arg(inet_.userName).Arg(inet_.password), State::AwaitLogin);
        break;
    case State::SendAuthenticate:
        sent = Send(SImap4Command("AUTHENTICATE").Raw(" PLAIN"), State::AwaitAuthenticateContinuation);
        break;
    case State::SendSelect:
    case State::SendExamine: {
        const bool select = state_ == State::SendSelect;
        mailbox_.Clear();
        sent = Send(SImap4Command(select ? "SELECT" : "EXAMINE").Arg(names.MailboxOf(current_)),
                    select ? State::AwaitSelect : State::AwaitExamine);
        break;
    }
    case State::SendDelimiterList:
        delimiter_.clear();
        sent = Send(SImap4Command("LIST").Arg("").Arg(""), State::AwaitDelimiterList);
        break;
    case State::SendCreate:
        sent = Send(SImap4Command("CREATE").Arg(creatingInimbox_ ? names.SettingsMailbox()
                                                                  : names.MailboxOf(request_.folder)),
                    State::AwaitCreate);
        break;
    case State::SendRootList: {
        std::string root = names.ServerNameOf(request_.folder.empty() ? qimimap::kQimPRoot : request_.folder);
        if (root.size() < delimiter_.size() || root.compare(root.size() - delimiter_.size(), delimiter_.size(), delimiter_) != 0)
            root.append(delimiter_);
        listOpenPending_ = true;
        listFailed_ = false;
        sent = Send(SImap4Command("LIST").Arg(root).Raw(" *"), State::AwaitRootList);
        break;
    }
    case State::SendRename:
        sent = Send(SImap4Command("RENAME").Arg(names.ServerNameOf(request_.source)).Arg(names.ServerNameOf(request_.destination)),
                    State::AwaitRename);
        break;
    case State::SendDeleteMbox: {
        std::string mbox(request_.folder);
        mbox.append("\\").append(qimimap::kMboxFolder);
        sent = Send(SImap4Command("DELETE").Arg(names.ServerNameOf(mbox)), State::AwaitDeleteMbox);
        break;
    }
    case State::SendDeleteFolder:
        sent = Send(SImap4Command("DELETE").Arg(names.ServerNameOf(request_.folder)), State::AwaitDeleteFolder);
        break;
    case State::SendHeaderFetch:
        header_.Clear();
        headerBegun_ = false;
        headerLine_.clear();
        // PEEK: listing the headers must not mark anything read on the server.
        sent = Send(SImap4Command("FETCH")
                        .Raw(" " + std::to_string(currentMessage_))
                        .Raw(" (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])"),
                    State::AwaitHeaderFetch);
        break;
    case State::SendBodyFetch:
        body_.Clear();
        bodyReceived_ = false;
        bodyProblem_.reset();
        bodyShown_ = -1;
        observer_.SetProgressRange(0, 0);
        sent = Send(SImap4Command("FETCH").Raw(" " + std::to_string(request_.first)).Raw(" BODY[]"),
                    State::AwaitBodyFetch);
        break;
    case State::SendCopy:
        sent = Send(SImap4Command("COPY").Raw(Range(request_.first, request_.last)).Arg(names.MailboxOf(request_.destination)),
                    State::AwaitCopy);
        break;
    case State::SendStore: {
        std::string flags(storeAdd_ ? " +" : " -");
        flags.append("FLAGS.SILENT (").append(qimimap::FlagListText(storeFlags_)).append(")");
        sent = Send(SImap4Command("STORE").Raw(Range(storeFirst_, storeLast_)).Raw(flags), State::AwaitStore);
        break;
    }
    case State::SendAppend: {
        if (!append_.Open(request_.mailFile)) {
            Fail(SNotice::Program(qimstr::ImapMailFileUnreadable, {request_.mailFile, static_cast<long>(append_.Error())}));
            return;
        }
        appendSent_ = 0;
        SImap4Command command("APPEND");
        command.Arg(names.MailboxOf(request_.folder));
        const std::string flags = qimimap::FlagListText(SettableFlags(qimimap::FlagsOfMark(request_.mark)));
        if (!flags.empty()) command.Raw(" (" + flags + ")");
        command.Raw(" {" + std::to_string(append_.Size()) + "}");
        sent = Send(command, State::AwaitContinuation);
        break;
    }
    case State::SendingAppendLines:
        SendAppendLines();
        return;
    case State::SendSearch:
        search_.Begin(request_.searchResult);
        sent = Send(SImap4Search::CommandFor(request_.condition), State::AwaitSearch);
        break;
    case State::SendNoop:
        sent = Send(SImap4Command("NOOP"), State::AwaitNoop);
        break;
    case State::SendClose:
        sent = Send(SImap4Command("CLOSE"), State::AwaitClose);
        break;
    case State::SendLogout:
        sent = Send(SImap4Command("LOGOUT"), State::AwaitLogout);
        break;
    default:
        return;
    }
    if (!sent) {
        Notify(qimstr::ErrorAborting);
        Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::Session);
    }
}

// The message of an APPEND, a batch per write notification, then the CR LF
// that ends the command. The bytes must come to the size announced: a file
// that changed meanwhile would leave the server reading our next commands as
// part of the message.
void SImap4Session::SendAppendLines() {
    std::string out;
    bool more = true;
    while (out.size() < kAppendBatchBytes && (more = append_.NextLine(out))) {
    }
    if (append_.Error() != 0) {
        FailAndDisconnect(SNotice::Program(qimstr::ImapMailFileUnreadable, {request_.mailFile, static_cast<long>(append_.Error())}));
        return;
    }
    appendSent_ += static_cast<long long>(out.size());
    if (appendSent_ > append_.Size() || (!more && appendSent_ != append_.Size())) {
        FailAndDisconnect(SNotice::Program(qimstr::ImapMailFileChanged, {request_.mailFile}));
        return;
    }
    if (!more) {
        append_.Close();
        out.append("\r\n");
        state_ = State::FinalLineSent;
    }
    pendingOut_ = std::move(out);
    if (!FlushPending()) {
        Notify(qimstr::ErrorAborting);
        Disconnect();
        Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    if (state_ == State::SendingAppendLines && pendingOut_.empty()) socket_->Rearm();
}

// ---- Receiving ----

void SImap4Session::ReadStep() {
    if (!reader_.MoveToMyBuffer()) {
        if (socket_->LastError() == platform::kWsaEWouldBlock) return;  // taken already
        const int s = static_cast<int>(state_);
        ReportSocketError(Printed("Stage: %ld-%ld", s, s), socket_->LastError());
        Notify(qimstr::ErrorAborting);
        Disconnect();
        if (operation_ != 0) Finish(qimimap::kResultFailure, SImap4Target::Session);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    const unsigned connection = connection_;
    for (;;) {
        const Piece piece = reader_.Next();
        if (piece == Piece::None) break;
        OnPiece(piece);
        // A handler may have closed the connection: what is left of it is not read.
        if (alive.expired() || connection != connection_) return;
    }
    if (reader_.Broken()) FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {reader_.ShownLine()}));
}

void SImap4Session::OnPiece(Piece piece) {
    if (piece == Piece::Literal) return OnLiteral();
    if (!reader_.StartsResponse()) return OnLineRest();
    OnResponseStart();
}

void SImap4Session::OnResponseStart() {
    response_ = Response::Other;
    if (listOpenPending_) {
        listOpenPending_ = false;
        if (!listFile_.Open(request_.listFile)) {
            Notify(qimstr::FolderFileCannotOpen);
            listFailed_ = true;  // the replies are still read
        }
    }
    const int kind = reader_.Classify(awaitingTag_.empty() ? tag_.Current() : awaitingTag_.c_str());
    if (kind & SImap4Read::kUntagged) {
        if (reader_.IsUntagged("BYE") && state_ != State::AwaitLogout) {
            // The server ends the session; the next request connects anew.
            FailAndDisconnect(SNotice::Program(qimstr::ImapBye, {reader_.ShownLine()}));
            return;
        }
        return OnUntagged();
    }
    if (kind == SImap4Read::kNoTokens) {
        // Nothing a reply may be: fails what waits for one.
        if (!awaitingTag_.empty()) Fail();
        return;
    }
    if (reader_.IsContinuation()) return OnContinuation();
    if (awaitingTag_.empty() || !(kind & SImap4Read::kTagged)) {
        // A tagged reply to no command of ours: what the server says cannot
        // be matched to what was sent any more.
        FailAndDisconnect(SNotice::Program(qimstr::ImapTagMismatch, {reader_.ShownLine()}));
        return;
    }
    awaitingTag_.clear();
    segments_.clear();
    lastReply_ = reader_.ShownLine();
    OnTagged((kind & SImap4Read::kOk) != 0);
}

void SImap4Session::OnStatusData() {
    const SImap4Read::StatusKind kind = reader_.ParseStatus(mailbox_);
    if (kind == SImap4Read::StatusKind::Recent && mailbox_.recent > 0 && state_ != State::AwaitSelect &&
        state_ != State::AwaitExamine)
        Complete(qimimap::kOpNewMail, qimimap::kResultSuccess, SImap4Target::Session);
}

void SImap4Session::OnUntagged() {
    switch (state_) {
    case State::AwaitGreeting:
        return OnGreeting((reader_.Classify("*") & SImap4Read::kOk) != 0);
    case State::AwaitCapability:
        if (caps_.TakeFrom(reader_.LineText())) {
            capsLine_ = reader_.ShownLine();
            return;
        }
        return OnStatusData();
    case State::AwaitDelimiterList: {
        std::string delimiter;
        if (reader_.ParseList(&delimiter, nullptr, nullptr)) {
            delimiter_ = delimiter;
            return;
        }
        return OnStatusData();
    }
    case State::AwaitSelect:
    case State::AwaitExamine:
        reader_.ParseStatus(mailbox_);
        return;
    case State::AwaitRootList:
        return OnListLine();
    case State::AwaitHeaderFetch:
        return OnHeaderFetchLine();
    case State::AwaitBodyFetch:
        return OnBodyFetchLine();
    case State::AwaitSearch:
        if (reader_.IsSearchLine()) {
            response_ = Response::Search;
            search_.AddPiece(reader_.LineText().c_str(), static_cast<int>(reader_.LineText().size()), true, reader_.IsCut());
            return;
        }
        return OnStatusData();
    default:
        return OnStatusData();
    }
}

void SImap4Session::OnContinuation() {
    if (!segments_.empty()) {
        // The server takes the literal announced: the command goes on.
        pendingOut_ = std::move(segments_.front());
        segments_.erase(segments_.begin());
        if (!FlushPending()) {
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
        return;
    }
    if (state_ == State::AwaitContinuation) {
        state_ = State::ContinuationReceived;
        state_ = State::SendingAppendLines;
        socket_->Rearm();
    } else if (state_ == State::AwaitAuthenticateContinuation) {
        std::string response;
        response.append(1, '\0').append(inet_.userName).append(1, '\0').append(inet_.password);
        pendingOut_ = QByteArray::fromStdString(response).toBase64().toStdString().append("\r\n");
        state_ = State::AwaitAuthenticate;
        if (!FlushPending()) {
            Disconnect();
            Finish(qimimap::kResultFailure, SImap4Target::Session);
        }
    }
    // Any other "+" asks for nothing we are sending: it is passed over.
}

void SImap4Session::OnTagged(bool ok) {
    switch (state_) {
    case State::AwaitCapability:
        if (!ok) return FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {lastReply_}));
        caps_.known = true;
        return ContinueToLogin();
    case State::AwaitStartTls:
        if (!ok) return FailAndDisconnect(SNotice::Program(qimstr::ImapStartTlsNotOffered, {lastReply_}));
        // What else came in plain text is dropped unread.
        reader_.Reset();
        if (!socket_->StartTls()) return FailAndDisconnect(TlsFailureNotice(host_, platform::kTlsHandshakeFailed));
        display_.Status(qimstr::StartingTls);
        state_ = State::TlsHandshake;
        return;
    case State::AwaitLogin:
    case State::AwaitAuthenticateContinuation:
    case State::AwaitAuthenticate:
        return OnLoginReply(ok);
    case State::AwaitLogout:
        return OnLogoutDone();
    case State::AwaitDelimiterList:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        if (delimiter_.empty()) return Fail(SNotice::Program(qimstr::ImapNoHierarchy));
        state_ = FirstState();
        socket_->Rearm();
        return;
    case State::AwaitSelect:
    case State::AwaitExamine:
        return OnSelected(ok);
    case State::AwaitRootList:
        return OnListEnd(ok);
    case State::AwaitHeaderFetch:
        return OnHeaderFetched(ok);
    case State::AwaitBodyFetch:
        return OnBodyFetched(ok);
    case State::AwaitSearch:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        StatusText(std::string());
        return Finish(qimimap::kResultSuccess, SImap4Target::Reply);
    case State::AwaitContinuation:
        // The server refused the message before taking it.
        display_.Ended();
        return Fail();
    case State::ContinuationReceived:
    case State::SendingAppendLines:
        // A reply in the middle of the message: the rest would be read as commands.
        return FailAndDisconnect(SNotice::Program(qimstr::ImapReplyBroken, {lastReply_}));
    default:
        if (!ok) {
            display_.Ended();
            return Fail();
        }
        display_.Succeeded();
        return OnCommandDone();
    }
}

// The tagged OK of CREATE, RENAME, DELETE, COPY, STORE, NOOP, CLOSE and APPEND.
void SImap4Session::OnCommandDone() {
    switch (state_) {
    case State::AwaitCreate:
        if (creatingInimbox_) {
            // The settings mailbox exists now: the list is made once more.
            creatingInimbox_ = false;
            listedAfterCreate_ = true;
            state_ = State::SendRootList;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    case State::AwaitRename:
    case State::AwaitDeleteFolder:
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    case State::AwaitDeleteMbox:
        state_ = State::SendDeleteFolder;
        socket_->Rearm();
        return;
    case State::AwaitStore:
        if (operation_ == qimimap::kOpReplace) {
            state_ = State::SendClose;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    case State::AwaitCopy:
    case State::AwaitClose:
    case State::AwaitNoop:
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    case State::FinalLineSent:
        state_ = State::AppendDone;
        if (operation_ == qimimap::kOpReplace) {
            // The older messages of the folder go: it holds only the new one afterwards.
            state_ = State::SendSelect;
            socket_->Rearm();
            return;
        }
        return Finish(qimimap::kResultSuccess, SImap4Target::None);
    default:
        return Fail();
    }
}

void SImap4Session::OnSelected(bool ok) {
    if (!ok) {
        display_.Ended();
        return Fail();
    }
    display_.Succeeded();
    const bool select = state_ == State::AwaitSelect;
    state_ = select ? State::SelectDone : State::ExamineDone;
    first_ = currentMessage_ = 1;
    last_ = mailbox_.exists;
    recent_ = mailbox_.recent;
    if (current_ == qimimap::kQimPRoot && recent_ > 0)
        Complete(qimimap::kOpNewMail, qimimap::kResultSuccess, SImap4Target::Session);
    const int op = operation_;
    const bool empty = last_ < 1;
    State next = State::Idle;
    if (IsHeaderFetch(op)) {
        if (recent_ < 1) Complete(qimimap::kOpNoRecentMail, qimimap::kResultSuccess, SImap4Target::None);
        const bool recentOnly = op == qimimap::kOpFetchRecentHeaders;
        if (empty || (recentOnly && recent_ < 1)) {
            request_.cache->SetFilled(true);
            return Finish(qimimap::kResultSuccess, SImap4Target::None);
        }
        if (recentOnly) first_ = currentMessage_ = std::max(1, last_ - recent_ + 1);
        headerFetching_ = true;
        observer_.SetProgressRange(first_, last_);
        next = State::SendHeaderFetch;
    } else if (op == qimimap::kOpRenameFolder) {
        next = State::SendRename;
    } else if (op == qimimap::kOpDeleteFolder || op == qimimap::kOpDeleteFolderOnly) {
        next = DeletesMboxFirst(op) ? State::SendDeleteMbox : State::SendDeleteFolder;
    } else if (op == qimimap::kOpCopy || op == qimimap::kOpMarkDeleted) {
        if (empty) return Finish(qimimap::kResultFailure, SImap4Target::None);
        next = op == qimimap::kOpCopy ? State::SendCopy : State::SendStore;
    } else if (IsBodyFetch(op)) {
        if (empty) return Finish(qimimap::kResultFailure, SImap4Target::Reply);
        next = State::SendBodyFetch;
    } else if (op == qimimap::kOpReplace) {
        if (last_ == 1) return Finish(qimimap::kResultSuccess, SImap4Target::None);
        if (empty) return Fail();
        SetStore(1, last_ - 1, true, qimimap::kFlagDeleted);
        next = State::SendStore;
    } else if (op == qimimap::kOpChangeFlags) {
        next = State::SendStore;
    } else if (op == qimimap::kOpSearch) {
        next = State::SendSearch;
    } else {
        return Fail(SNotice::Program(qimstr::SomethingStrange));
    }
    state_ = next;
    socket_->Rearm();
}

// The rest of a cut line, or of a response after its literal.
void SImap4Session::OnLineRest() {
    const std::string text = reader_.LineText();
    switch (response_) {
    case Response::Search:
        search_.AddPiece(text.c_str(), static_cast<int>(text.size()), false, reader_.IsCut());
        break;
    case Response::HeaderFetch:
        SImap4Read::ParseFetchItems(text.c_str(), header_);
        break;
    case Response::BodyFetch:
        SImap4Read::ParseFetchItems(text.c_str(), body_);
        break;
    default:
        break;
    }
}

void SImap4Session::OnLiteral() {
    const int raw = reader_.LineLength();
    const bool ends = reader_.PendingLiteral() == 0;
    switch (response_) {
    case Response::HeaderFetch: {
        header_.consumed += raw;
        if (headerLine_.size() < kHeaderLineMax)
            headerLine_.append(reader_.SjisPiece(),
                               std::min<std::size_t>(static_cast<std::size_t>(reader_.SjisPieceLength()),
                                                     kHeaderLineMax - headerLine_.size()));
        // The cache takes whole lines; the last one may lack its line end.
        if (!reader_.IsCut() || ends) {
            request_.cache->HeaderLine(headerLine_.c_str());
            headerLine_.clear();
        }
        break;
    }
    case Response::BodyFetch: {
        body_.consumed += raw;
        if (!bodyProblem_ && !bodyFile_.Write(reader_.SjisPiece(), reader_.SjisPieceLength())) {
            // What else comes of the message is read and dropped.
            bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
            bodyFile_.Close();
        }
        const int shown = body_.consumed / bodyUnit_;
        if (shown != bodyShown_) {
            bodyShown_ = shown;
            observer_.SetProgress(shown);
            StatusText(Printed("%ld/%ld", body_.consumed, body_.literal));
        }
        break;
    }
    case Response::ListName:
        if (listName_.size() + static_cast<std::size_t>(raw) > static_cast<std::size_t>(kSocketLineSize))
            listNameTooLong_ = true;
        else
            listName_.append(reader_.RawData(), static_cast<std::size_t>(raw));
        if (ends && !listNameTooLong_) OnListName(listName_);
        break;
    default:
        break;
    }
}

// ---- Header fetch ----

void SImap4Session::OnHeaderFetchLine() {
    SImap4FetchRecord record = header_;
    if (!reader_.ParseFetchSize(record) || record.number != currentMessage_) return OnStatusData();
    const std::string line = reader_.LineText();
    const bool hasHeader = reader_.AnnouncesLiteral() || line.find("BODY[") != std::string::npos;
    header_ = record;
    response_ = Response::HeaderFetch;
    if (hasHeader && !headerBegun_) {
        request_.cache->BeginHeader();
        headerBegun_ = true;
    }
}

void SImap4Session::OnHeaderFetched(bool ok) {
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (!ok) return Fail();
    SImap4HeaderSink& cache = *request_.cache;
    if (!headerBegun_) {
        // The message is gone from the server: nothing is stored for it, and
        // the numbers of the others stay theirs.
        cache.BeginHeader();
        cache.EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, false);
    } else {
        headerBegun_ = false;
        // Stored under the server's number in both kinds of fetch, so that a
        // message that gave no header shifts no other one.
        if (!cache.EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, true)) return Fail();
    }
    state_ = State::HeaderFetchDone;
    AdvanceHeaderFetch();
}

void SImap4Session::AdvanceHeaderFetch() {
    observer_.SetProgress(currentMessage_);
    StatusText(Printed("%ld/%ld", currentMessage_, last_));
    if (++currentMessage_ > last_) {
        headerFetching_ = false;
        request_.cache->SetFilled(true);
        StatusText(std::string());
        return Finish(qimimap::kResultSuccess, SImap4Target::Session);
    }
    state_ = State::SendHeaderFetch;
    socket_->Rearm();
}

void SImap4Session::AbandonHeaderFetch() {
    if (!headerFetching_) return;
    headerFetching_ = false;
    if (headerBegun_) request_.cache->EndHeader(qimimap::MarkOfFlags(header_.flags), header_.size, currentMessage_, false);
    headerBegun_ = false;
    request_.cache->SetFilled(false);
}

// ---- Body fetch ----

void SImap4Session::OnBodyFetchLine() {
    SImap4FetchRecord record = body_;
    if (!reader_.ParseFetchLiteral(record) || record.number != request_.first || !reader_.AnnouncesLiteral() ||
        bodyReceived_)
        return OnStatusData();
    body_ = record;
    bodyReceived_ = true;
    response_ = Response::BodyFetch;
    bodyUnit_ = body_.literal > 1024 ? 1024 : 1;
    observer_.SetProgressRange(0, body_.literal / bodyUnit_);
    if (!bodyFile_.Open(request_.mailFile))
        bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
}

void SImap4Session::OnBodyFetched(bool ok) {
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (bodyFile_.IsOpen() && !bodyFile_.Close() && !bodyProblem_)
        bodyProblem_ = SNotice::Program(qimstr::ImapMailFileNotWritten, {request_.mailFile, static_cast<long>(bodyFile_.Error())});
    StatusText(std::string());
    state_ = State::BodyFetchDone;
    if (!ok) return Fail();
    if (bodyProblem_) return Fail(*bodyProblem_);
    if (!bodyReceived_) return Fail(SNotice::Program(qimstr::ImapNoSuchMessage, {static_cast<long>(request_.first)}));
    Finish(qimimap::kResultSuccess, SImap4Target::Reply);
}

// ---- Folder list ----

void SImap4Session::OnListLine() {
    std::string name;
    bool inLiteral = false;
    if (reader_.IsCut() || !reader_.ParseList(nullptr, &name, &inLiteral)) return OnStatusData();
    if (!inLiteral) return OnListName(name);
    // The name is the literal that follows.
    response_ = Response::ListName;
    listName_.clear();
    listNameTooLong_ = false;
    if (reader_.AnnouncedLength() == 0) OnListName(listName_);
}

void SImap4Session::OnListName(const std::string& name) {
    const SImap4MailboxNames names = Names();
    if (name == names.SettingsMailbox()) {
        inimboxSeen_ = true;
        return;
    }
    // The list makes directories under the cache root: a name that would
    // lead anywhere else (or is no folder under the root) is left out.
    std::string local = names.LocalPathOf(name);
    if (!SImap4MailboxNames::IsSafeLocalPath(local) || !listFile_.IsOpen() || listFailed_) return;
    local.append("\r\n");
    if (!listFile_.Write(local.data(), static_cast<int>(local.size()))) {
        Notify(qimstr::FolderFileCannotWrite, {static_cast<long>(listFile_.Error())});
        listFailed_ = true;
    }
}

void SImap4Session::OnListEnd(bool ok) {
    if (listFile_.IsOpen() && !listFile_.Close() && !listFailed_) {
        Notify(qimstr::FolderFileCannotWrite, {static_cast<long>(listFile_.Error())});
        listFailed_ = true;
    }
    if (ok) display_.Succeeded();
    else display_.Ended();
    if (!ok || listFailed_) return Fail();
    if (!listedAfterCreate_ && !inimboxSeen_) {
        // The settings mailbox is made when the server has none.
        creatingInimbox_ = true;
        state_ = State::SendCreate;
        socket_->Rearm();
        return;
    }
    Finish(qimimap::kResultSuccess, SImap4Target::Session);
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

#include "send/SSmtpSession.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/STlsConnection.h"
#include "common/JapaneseCodes.h"
#include "platform/qt/SocketFactory.h"


namespace {

constexpr int kHostNameSize = 128;
// A reply of more lines than this is no reply but a server gone wrong.
constexpr int kMaxReplyLines = 1000;
constexpr int kProgressSteps = 20;
// Most bytes of message lines sent from one writable notification.
constexpr std::size_t kDataBatchBytes = 64 * 1024;

int g_progress = 0;

// Puts a second dot before every line of `text` that begins with one.
void DotStuff(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size() + 2);
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
}

}  // namespace

SSmtpSession::SSmtpSession(SUserInetData& inet, SEMailHeader& header, SGetLine& lines, bool headerInFile,
                           SSmtpSessionObserver& observer)
    : inet_(inet),
      header_(header),
      lines_(lines),
      headerInFile_(headerInFile),
      observer_(observer),
      socket_(platform::CreateSocket(this)),
      reader_(socket_.get()),
      context_(std::make_unique<QObject>()) {
    timer_ = new QTimer(context_.get());
    timer_->setSingleShot(true);
    QObject::connect(timer_, &QTimer::timeout, context_.get(), [this] { OnTimeout(); });
}

SSmtpSession::~SSmtpSession() {
    alive_.reset();    // drops what was posted
    context_.reset();  // and the timer
    socket_->SetListener(nullptr);
    socket_->Close();
    if (linesOpen_) lines_.Close();
}

// Posted work runs from the application's event loop, not from an object of
// the session's own, so that the observer may destroy the session from it.
template <typename F>
void SSmtpSession::Post(F&& work) {
    std::weak_ptr<bool> alive = alive_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [alive, work = std::forward<F>(work)]() mutable {
            if (!alive.expired()) work();
        },
        Qt::QueuedConnection);
}

int SSmtpSession::ProgressCounter() { return g_progress; }

void SSmtpSession::SetTimeout(int milliseconds) { timeoutMs_ = milliseconds > 0 ? milliseconds : 1; }

void SSmtpSession::Touch() { timer_->start(timeoutMs_); }

void SSmtpSession::Status(unsigned id) { Status(LoadQimString(id)); }

void SSmtpSession::Status(const std::string& text) { observer_.OnSmtpStatus(text); }

void SSmtpSession::Notify(unsigned id, std::vector<SNotice::Arg> args) {
    observer_.OnSmtpNotice(SNotice::Program(id, std::move(args)));
}

void SSmtpSession::SocketError(const char* operation, int code) {
    observer_.OnSmtpNotice(SocketErrorNotice(operation, code));
}

void SSmtpSession::End(SSmtpOutcome outcome) {
    Post([this, outcome] { observer_.OnSmtpEnded(outcome); });
}

// Shows `id`, closes the connection; the send has failed.
void SSmtpSession::Fail(unsigned id) {
    Notify(id);
    CloseConnection();
    End(SSmtpOutcome::Failed);
}

void SSmtpSession::CloseConnection() {
    Status(qimstr::Disconnecting);
    socket_->Close();
    timer_->stop();
    if (linesOpen_) lines_.Close();
    linesOpen_ = false;
    Status(std::string());
    state_ = SSmtpState::Idle;
}

void SSmtpSession::Finish() {
    const bool sent = messageAccepted_ && !abandoned_;
    CloseConnection();
    End(sent ? SSmtpOutcome::Sent : SSmtpOutcome::Failed);
}

void SSmtpSession::Start() {
    if (starting_) return;
    starting_ = true;
    writeReadyWhileIdle_ = false;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{starting_};
    if (state_ != SSmtpState::Idle) {
        Notify(qimstr::SomethingStrange);
        CloseConnection();
        return;
    }
    if (inet_.smtpServer.empty() || inet_.smtpPort < 1 || inet_.userName.empty() || inet_.mailAddress.empty()) {
        if (!askNetworkSettings || !askNetworkSettings(inet_)) {
            CloseConnection();
            End(SSmtpOutcome::Failed);
            return;
        }
    }
    if (!header_.CheckHeader() && (!completeHeader || !completeHeader(header_) || !header_.CheckHeader())) {
        CloseConnection();
        End(SSmtpOutcome::Failed);
        return;
    }
    char host[kHostNameSize + 1] = {};
    if (gethostname(host, kHostNameSize) != 0 || !host[0]) {
        SocketError("Unable to get hostname", errno);
        End(SSmtpOutcome::Failed);
        return;
    }
    inet_.clientAddr = host;
    messageAccepted_ = false;
    abandoned_ = false;
    cancelRefused_ = false;
    sendPending_ = false;
    lastLineCut_ = false;
    replyLines_ = 0;
    if (platform::IsNumericHost(inet_.smtpServer)) {
        addresses_ = {inet_.smtpServer};
        Touch();
        Post([this] { Connect(); });
        return;
    }
    Status(qimstr::LookingUpHost);
    lookup_ = socket_->LookupHost(inet_.smtpServer);
    if (lookup_ == 0) {
        SocketError("Unable to get host address", socket_->LastError());
        End(SSmtpOutcome::Failed);
        return;
    }
    state_ = SSmtpState::LookingUpHost;
    Touch();
}

void SSmtpSession::OnHostLookup(int handle, int error) {
    const bool expected = state_ == SSmtpState::LookingUpHost;
    state_ = SSmtpState::Idle;
    if (!expected || handle != lookup_) {
        Fail(qimstr::SomethingStrange);
        return;
    }
    if (error != 0 || socket_->HostAddresses().empty()) {
        SocketError("Unable to get host address", error);
        CloseConnection();
        End(SSmtpOutcome::Failed);
        return;
    }
    addresses_ = socket_->HostAddresses();
    Touch();
    Post([this] { Connect(); });
}

void SSmtpSession::Connect() {
    state_ = SSmtpState::Connecting;
    Status(qimstr::Connecting);
    Touch();
    extensions_ = SSmtpExtensions();
    socket_->SetTlsPolicy(TlsPolicyFor(inet_, inet_.smtpSecurity, inet_.smtpServer, trustedOnce_));
    if (!socket_->Connect(addresses_, inet_.smtpPort)) {
        SocketError("Unable to connect", socket_->LastError());
        CloseConnection();
        End(SSmtpOutcome::Failed);
    }
}

void SSmtpSession::OnSocketEvent(int event, int error) {
    Touch();
    switch (event) {
    case platform::kSocketWrite:
        if (error) SocketError("Unable to write data", error);
        else WriteStep();
        break;
    case platform::kSocketRead:
        if (error) SocketError("Unable to read data", error);
        else ReadStep();
        break;
    case platform::kSocketConnect:
        if (state_ != SSmtpState::Connecting) return;
        if (error) {
            OnConnectFailed(error);
            return;
        }
        state_ = SSmtpState::Connected;
        state_ = SSmtpState::AwaitGreeting;
        sendPending_ = false;
        if (socket_->Tls().secured) OnSecured();
        break;
    case platform::kSocketTls:
        if (state_ == SSmtpState::TlsHandshake) OnTlsDone(error);
        return;
    case platform::kSocketClose:
        if (error) {
            SocketError("Unable to close socket", error);
        } else if (messageAccepted_) {
            Finish();
        } else {
            // Nothing was delivered: the server let go before it took the message.
            Notify(qimstr::ClosedBeforeAccepted);
            CloseConnection();
            End(SSmtpOutcome::Failed);
        }
        break;
    default:
        break;
    }
    if (error && state_ != SSmtpState::Idle) {
        CloseConnection();
        End(SSmtpOutcome::Failed);
    }
}

bool SSmtpSession::SendData(const std::string& data) { return SendData(data.data(), data.size()); }

bool SSmtpSession::SendData(const char* data, std::size_t size) {
    const int n = socket_->Send(data, static_cast<int>(size));
    if (n < 0) {
        if (socket_->LastError() != platform::kWsaEWouldBlock) {
            SocketError("SendData() Error", socket_->LastError());
            return false;
        }
        pending_.assign(data, size);
        sendPending_ = true;
    } else if (static_cast<std::size_t>(n) < size) {
        pending_.assign(data + n, size - static_cast<std::size_t>(n));
        sendPending_ = true;
    } else {
        sendPending_ = false;
    }
    writeReadyWhileIdle_ = false;
    return true;
}

bool SSmtpSession::SendCommand(const std::string& text, SSmtpState next) {
    if (!SendData(text + "\r\n")) return false;
    state_ = next;
    return true;
}

// One line of the data phase, converted to ISO-2022-JP at the end of the
// batch; the terminating dot line ends it.
void SSmtpSession::PutMessageLine() {
    const std::string* out = &line_;
    if (phase_ == SSmtpDataPhase::HeaderText) {
        // A header line made of a dot would end the message early.
        DotStuff(header_.HeaderText(), stuffed_);
        out = &stuffed_;
        phase_ = SSmtpDataPhase::BlankLine;
    } else if (phase_ == SSmtpDataPhase::BlankLine) {
        line_ = "\r\n";
        phase_ = SSmtpDataPhase::Body;
    } else if (lines_.NextLine(line_)) {
        if (line_[0] == '.') {
            stuffed_.assign(1, '.');
            stuffed_.append(line_);
            out = &stuffed_;
        }
    } else {
        line_ = ".\r\n";
        phase_ = SSmtpDataPhase::Done;
    }
    // Room for the longest conversion: four bytes a byte and the closing designation.
    const std::size_t room = 4 * out->size() + 4;
    if (batch_.size() - batchSize_ < room) batch_.resize(std::max(2 * batch_.size(), batchSize_ + room));
    batchSize_ += static_cast<std::size_t>(Sjis2JisBytes(batch_.data() + batchSize_,
                                                         reinterpret_cast<const unsigned char*>(out->data()),
                                                         static_cast<int>(out->size())));
    g_progress = (g_progress + 1) % kProgressSteps;
    if (phase_ == SSmtpDataPhase::Done) {
        lines_.Close();
        linesOpen_ = false;
        state_ = SSmtpState::AwaitMessageReply;
    }
}

// The lines of one writable notification, converted into one batch and given
// to the socket at once: a large message costs one send per batch, not one
// per line, and does not wait for the event loop between every two lines.
bool SSmtpSession::SendMessageLines() {
    batchSize_ = 0;
    do {
        PutMessageLine();
    } while (state_ == SSmtpState::SendingMessage && batchSize_ < kDataBatchBytes);
    if (!SendData(batch_.data(), batchSize_)) return false;
    if (progressText_.empty()) progressText_ = LoadQimString(qimstr::SendingProgress) + "\n";
    Status(progressText_ + std::string(static_cast<std::size_t>(g_progress), '*'));
    if (state_ == SSmtpState::SendingMessage && !writeReadyWhileIdle_) socket_->Rearm();
    return true;
}

void SSmtpSession::WriteStep() {
    if (sendPending_) {
        const std::string rest = pending_;
        if (!SendData(rest)) {
            Fail(qimstr::ErrorAborting);
            return;
        }
        socket_->Rearm();
        return;
    }
    bool ok = true;
    switch (state_) {
    case SSmtpState::SendEhlo:
        extensions_ = SSmtpExtensions();
        ok = SendCommand("EHLO " + inet_.clientAddr, SSmtpState::AwaitEhloReply);
        break;
    case SSmtpState::SendHelo:
        ok = SendCommand("HELO " + inet_.clientAddr, SSmtpState::AwaitHeloReply);
        break;
    case SSmtpState::SendStartTls:
        ok = SendCommand("STARTTLS", SSmtpState::AwaitStartTlsReply);
        break;
    case SSmtpState::SendAuth:
        ok = SendCommand(authLine_, SSmtpState::AwaitAuthReply);
        break;
    case SSmtpState::SendMailFrom:
        ok = SendCommand("MAIL FROM:<" + header_.FromAddress() + ">", SSmtpState::AwaitMailFromReply);
        break;
    case SSmtpState::SendRcpt:
        recipient_ = header_.NextRecipient();
        ok = SendCommand("RCPT TO:<" + recipient_ + ">", SSmtpState::AwaitRcptReply);
        break;
    case SSmtpState::SendData:
        ok = SendCommand("DATA", SSmtpState::AwaitDataReply);
        break;
    case SSmtpState::SendingMessage:
        ok = SendMessageLines();
        break;
    case SSmtpState::SendQuit:
        Status(qimstr::Quitting);
        ok = SendCommand("QUIT", SSmtpState::AwaitQuitReply);
        break;
    default:
        writeReadyWhileIdle_ = true;
        break;
    }
    if (!ok) Fail(qimstr::ErrorAborting);
}

// A refused reply names the step and quotes the server, so the user can tell
// a mistyped recipient from a server that wants something else.
void SSmtpSession::ReplyRefused(const std::string& step) {
    if (step.empty()) {
        Fail(qimstr::ErrorAborting);
        return;
    }
    Notify(qimstr::SmtpRefused, {step, lastReply_});
    CloseConnection();
    End(SSmtpOutcome::Failed);
}

std::string SSmtpSession::StepText(unsigned id, const std::string& address) {
    return FormatNotice(LoadQimString(id), {address});
}

bool SSmtpSession::OnFinalLine(int code, int otherCode, const std::function<void(bool accepted)>& decide) {
    while (char* line = reader_.GetALine()) {
        const bool rest = lastLineCut_;  // the rest of a long line, judged by its start
        lastLineCut_ = reader_.IsCut();
        if (rest) continue;
        lastReply_ = reader_.ShownLine();
        if (state_ == SSmtpState::AwaitEhloReply) extensions_.Note(line);
        const int verdict = reader_.IsOK(code, otherCode);
        if (verdict == SSmtpRead::kContinued) {
            if (++replyLines_ > kMaxReplyLines) {
                decide(false);
                return true;
            }
            continue;
        }
        replyLines_ = 0;
        decide(verdict == SSmtpRead::kAccepted);
        return true;
    }
    return false;
}

bool SSmtpSession::OnReply(int code, int otherCode, const std::string& step, const std::function<bool()>& accepted) {
    return OnFinalLine(code, otherCode, [&](bool ok) {
        if (!ok) ReplyRefused(step);
        else if (accepted()) socket_->Rearm();
    });
}

void SSmtpSession::ReadStep() {
    // Lines left over from an earlier read are taken first; while the reply is
    // still incomplete after them, what the socket holds is read as well.
    do {
        if (!reader_.MoveToMyBuffer()) {
            if (socket_->LastError() == platform::kWsaEWouldBlock) return;
            SocketError("AwaitOK() Error", socket_->LastError());
            ReplyRefused(std::string());
            return;
        }
        if (ReadReply()) return;
    } while (socket_->BytesWaiting() > 0);
}

// The reply the state waits for; true once it has been dealt with.
bool SSmtpSession::ReadReply() {
    switch (state_) {
    case SSmtpState::AwaitGreeting:
        return OnReply(220, -1, StepText(qimstr::SmtpStepGreeting), [this] {
            state_ = SSmtpState::SendEhlo;
            return true;
        });
    case SSmtpState::AwaitEhloReply:
        return OnEhloReply();
    case SSmtpState::AwaitStartTlsReply:
        return OnFinalLine(220, -1, [this](bool accepted) {
            if (!accepted) {
                FailWith(SNotice::Program(qimstr::StartTlsNotOffered, {lastReply_}));
                return;
            }
            // Whatever else the server sent in plain text is dropped unread.
            reader_.Discard();
            if (!socket_->StartTls()) {
                FailWith(TlsFailureNotice(inet_.smtpServer, platform::kTlsHandshakeFailed));
                return;
            }
            Status(qimstr::StartingTls);
            state_ = SSmtpState::TlsHandshake;
        });
    case SSmtpState::AwaitAuthReply:
        return OnAuthReply();
    case SSmtpState::AwaitHeloReply:
        return OnReply(250, -1, StepText(qimstr::SmtpStepHelo), [this] {
            return BeginMailTransaction();
        });
    case SSmtpState::AwaitMailFromReply:
        return OnReply(250, -1, StepText(qimstr::SmtpStepMailFrom, header_.FromAddress()), [this] {
            header_.CollectRecipients();
            if (!header_.HasMoreRecipients()) {
                Fail(qimstr::ErrorAborting);
                return false;
            }
            state_ = SSmtpState::SendRcpt;
            return true;
        });
    case SSmtpState::AwaitRcptReply:
        return OnReply(250, 251, StepText(qimstr::SmtpStepRcpt, recipient_), [this] {
            state_ = header_.HasMoreRecipients() ? SSmtpState::SendRcpt : SSmtpState::SendData;
            return true;
        });
    case SSmtpState::AwaitDataReply:
        return OnReply(354, -1, StepText(qimstr::SmtpStepData), [this] {
            Status(qimstr::SendingMail);
            phase_ = headerInFile_ ? SSmtpDataPhase::Body : SSmtpDataPhase::HeaderText;
            state_ = SSmtpState::SendingMessage;
            return true;
        });
    case SSmtpState::AwaitMessageReply:
        return OnReply(250, -1, StepText(qimstr::SmtpStepMessage), [this] {
            messageAccepted_ = true;
            state_ = SSmtpState::SendQuit;
            return true;
        });
    case SSmtpState::AwaitQuitReply:
        // Whatever the server says to QUIT, a message it accepted is sent:
        // calling it failed would make the user send it twice.
        return OnFinalLine(221, -1, [this](bool) {
            Status(qimstr::SessionEnded);
            state_ = SSmtpState::Finished;
            Finish();
        });
    default:
        Fail(qimstr::SomethingStrange);
        return true;
    }
}

void SSmtpSession::Cancel() {
    switch (state_) {
    case SSmtpState::LookingUpHost:
        if (!socket_->CancelLookup(lookup_)) SocketError("Unable to cancel WSAAsyncGetHostByName", socket_->LastError());
        CloseConnection();
        End(SSmtpOutcome::Cancelled);
        return;
    case SSmtpState::Idle:
    case SSmtpState::Connecting:
    case SSmtpState::Connected:
    case SSmtpState::AwaitGreeting:
    case SSmtpState::SendHelo:
    case SSmtpState::AwaitHeloReply:
    case SSmtpState::SendEhlo:
    case SSmtpState::AwaitEhloReply:
    case SSmtpState::SendStartTls:
    case SSmtpState::AwaitStartTlsReply:
    case SSmtpState::TlsHandshake:
    case SSmtpState::SendAuth:
    case SSmtpState::AwaitAuthReply:
    case SSmtpState::SendMailFrom:
    case SSmtpState::AwaitMailFromReply:
        CloseConnection();
        End(SSmtpOutcome::Cancelled);
        return;
    case SSmtpState::Finished:
        return;
    default:
        break;
    }
    if (!cancelRefused_) {
        cancelRefused_ = true;
        Notify(qimstr::CannotCancelNow);
        return;
    }
    // Asked again: the user is not kept waiting any longer. Once the server
    // accepted the message it stays sent; only QUIT is left out.
    const bool sent = messageAccepted_ && !abandoned_;
    CloseConnection();
    End(sent ? SSmtpOutcome::Sent : SSmtpOutcome::Cancelled);
}

void SSmtpSession::OnTimeout() {
    if (state_ == SSmtpState::Idle || state_ == SSmtpState::Finished) return;
    // Once the message was accepted only the reply to QUIT is missing: the
    // send is complete and nothing needs saying.
    const bool sent = messageAccepted_ && !abandoned_;
    if (!messageAccepted_) Notify(qimstr::SendTimedOut, {static_cast<long>((timeoutMs_ + 999) / 1000)});
    CloseConnection();
    End(sent ? SSmtpOutcome::Sent : SSmtpOutcome::Failed);
}

// ---- TLS, EHLO, AUTH, SIZE ----

void SSmtpSession::FailWith(const SNotice& notice) {
    observer_.OnSmtpNotice(notice);
    CloseConnection();
    End(SSmtpOutcome::Failed);
}

void SSmtpSession::OnConnectFailed(int error) {
    if (error == platform::kTlsUntrusted) {
        CertificateRefused();
        return;
    }
    if (error == platform::kTlsHandshakeFailed) FailWith(TlsFailureNotice(inet_.smtpServer, error));
    else {
        SocketError("Unable to connect", error);
        CloseConnection();
        End(SSmtpOutcome::Failed);
    }
}

// Verification refused the server's certificate: the user decides; trusted,
// the conversation begins again on a new connection.
void SSmtpSession::CertificateRefused() {
    const platform::TlsState tls = socket_->Tls();
    socket_->Close();
    SNotice notice;
    if (!AskToTrust(inet_.smtpServer, tls, trustedOnce_, notice)) {
        FailWith(notice);
        return;
    }
    if (notice.id != 0) observer_.OnSmtpNotice(notice);
    Post([this] { Connect(); });
}

void SSmtpSession::OnTlsDone(int error) {
    if (error == platform::kTlsUntrusted) {
        CertificateRefused();
        return;
    }
    if (error) {
        FailWith(TlsFailureNotice(inet_.smtpServer, error));
        return;
    }
    OnSecured();
    // The server forgets what EHLO said: it is asked again inside TLS.
    state_ = SSmtpState::SendEhlo;
}

void SSmtpSession::OnSecured() {
    const std::string text = TlsSessionText(socket_->Tls());
    if (!text.empty()) observer_.OnSmtpSecured(text);
}

bool SSmtpSession::OnEhloReply() {
    return OnFinalLine(250, -1, [this](bool accepted) {
        if (!accepted) {
            // A server that does not know EHLO cannot offer STARTTLS either.
            if (inet_.smtpSecurity == kSecurityStartTls && !socket_->Tls().secured) {
                FailWith(SNotice::Program(qimstr::StartTlsNotOffered, {lastReply_}));
                return;
            }
            state_ = SSmtpState::SendHelo;
            socket_->Rearm();
            return;
        }
        if (AfterGreetingExchange()) socket_->Rearm();
    });
}

// EHLO accepted: STARTTLS when asked for, then AUTH, then the mail.
bool SSmtpSession::AfterGreetingExchange() {
    const bool secured = socket_->Tls().secured;
    if (inet_.smtpSecurity == kSecurityStartTls && !secured) {
        if (!extensions_.startTls) {
            FailWith(SNotice::Program(qimstr::StartTlsNotOffered, {lastReply_}));
            return false;
        }
        state_ = SSmtpState::SendStartTls;
        return true;
    }
    if (inet_.smtpAuth && !extensions_.authMechanisms.empty()) return BeginAuth();
    return BeginMailTransaction();
}

bool SSmtpSession::BeginAuth() {
    auth_ = ChooseSmtpAuth(extensions_.authMechanisms, socket_->Tls().secured, inet_.smtpAuthPlainText);
    if (auth_ == SSmtpAuthMechanism::None) {
        FailWith(SNotice::Program(qimstr::SmtpAuthNoMechanism));
        return false;
    }
    if (inet_.password.empty() && (!askPassword || !askPassword(inet_) || inet_.password.empty())) {
        CloseConnection();
        End(SSmtpOutcome::Cancelled);
        return false;
    }
    Status(qimstr::SmtpAuthenticating);
    authStep_ = 0;
    authLine_ = std::string("AUTH ") + SmtpAuthName(auth_);
    if (auth_ == SSmtpAuthMechanism::Plain) authLine_.append(" ").append(SmtpPlainResponse(inet_.SmtpLoginName(), inet_.password));
    state_ = SSmtpState::SendAuth;
    return true;
}

// The line that answers a 334 challenge of the mechanism under way.
void SSmtpSession::PrepareAuthLine(const std::string& challenge) {
    ++authStep_;
    if (auth_ == SSmtpAuthMechanism::CramMd5)
        authLine_ = SmtpCramMd5Response(inet_.SmtpLoginName(), inet_.password, SmtpDecodeChallenge(challenge));
    else if (auth_ == SSmtpAuthMechanism::Login)
        authLine_ = SmtpBase64(authStep_ == 1 ? inet_.SmtpLoginName() : inet_.password);
    else
        authLine_.assign(1, '*');  // a challenge PLAIN does not have: give up the exchange
}

bool SSmtpSession::OnAuthReply() {
    return OnFinalLine(235, 334, [this](bool accepted) {
        const std::string reply = lastReply_;
        if (accepted && reply.rfind("334", 0) == 0) {
            // Only CRAM-MD5 answers one challenge, LOGIN two.
            const int most = auth_ == SSmtpAuthMechanism::Login ? 2 : auth_ == SSmtpAuthMechanism::CramMd5 ? 1 : 0;
            if (authStep_ >= most) {
                FailWith(SNotice::Program(qimstr::SmtpAuthRefused, {reply}));
                return;
            }
            PrepareAuthLine(reply.size() > 4 ? reply.substr(4) : std::string());
            state_ = SSmtpState::SendAuth;
            socket_->Rearm();
            return;
        }
        if (accepted) {
            if (BeginMailTransaction()) socket_->Rearm();
            return;
        }
        if (reply.rfind("535", 0) == 0) {
            // A wrong password: the user may type it again, on this connection.
            Notify(qimstr::WrongPassword);
            inet_.password.clear();
            if (askPassword && askPassword(inet_) && !inet_.password.empty() && BeginAuth()) {
                socket_->Rearm();
                return;
            }
            if (state_ != SSmtpState::Idle) {
                CloseConnection();
                End(SSmtpOutcome::Failed);
            }
            return;
        }
        FailWith(SNotice::Program(qimstr::SmtpAuthRefused, {reply}));
    });
}

// The bytes the DATA phase will send, as near as Shift_JIS tells (the JIS
// escapes add a little).
long long SSmtpSession::MessageBytes() {
    long long bytes = headerInFile_ ? 0 : static_cast<long long>(header_.HeaderText().size()) + 2;
    if (!lines_.Open()) return -1;
    for (std::string line; lines_.NextLine(line);) bytes += static_cast<long long>(line.size());
    lines_.Close();
    return bytes;
}

// Greeting, EHLO (or HELO), STARTTLS and AUTH are done: the message itself.
bool SSmtpSession::BeginMailTransaction() {
    if (extensions_.sizeLimit > 0) {
        const long long bytes = MessageBytes();
        if (bytes > extensions_.sizeLimit) {
            Notify(qimstr::SmtpMessageTooLarge, {static_cast<long>(bytes), static_cast<long>(extensions_.sizeLimit)});
            abandoned_ = true;
            state_ = SSmtpState::SendQuit;
            return true;
        }
    }
    linesOpen_ = lines_.Open();
    if (!linesOpen_) {
        Notify(qimstr::BodyUnreadable);
        abandoned_ = true;
        state_ = SSmtpState::SendQuit;
    } else {
        state_ = SSmtpState::SendMailFrom;
    }
    return true;
}

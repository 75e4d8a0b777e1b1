// One SMTP conversation that hands a finished message to the user's server:
// greeting, HELO, MAIL FROM, one RCPT TO per recipient (To, Cc, then Bcc),
// DATA, the message lines converted to ISO-2022-JP as they go out (dot-
// stuffed), the terminating dot line and QUIT. A plain class driven by the
// notifications of its non-blocking socket; the send dialog only shows its
// status texts and notices and forwards the cancel button.
//
// With the account's security settings the connection is TLS from the first
// byte or after STARTTLS (which the server must offer: never a silent fallback
// to plain text), the greeting is answered with EHLO, and AUTH (CRAM-MD5,
// PLAIN, LOGIN) follows when asked for and offered. A message larger than the
// server's SIZE is refused before MAIL FROM.
//
// The message counts as sent only once the server accepted it (the 250 after
// the data): a connection that ends before that is a failed send. A server
// that stops answering ends the conversation after the inactivity time-out,
// and a second cancel closes the connection at once.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/SUserInetData.h"
#include "common/SNotice.h"
#include "common/SSocketRead.h"
#include "platform/NetSocket.h"
#include "send/SEMailHeader.h"
#include "send/SGetLine.h"
#include "send/SSmtpExtensions.h"
#include "send/SendCodes.h"

class QObject;
class QTimer;

enum class SSmtpOutcome {
    Sent,       // the server accepted the message
    Cancelled,  // the user stopped it before the message was accepted
    Failed,     // not sent; the user has been told why
};

class SSmtpSessionObserver {
public:
    virtual ~SSmtpSessionObserver() = default;
    // The status line of the send dialog (Shift_JIS; may be empty).
    virtual void OnSmtpStatus(const std::string& text) {}
    // A message box to show now, in this order with the others.
    virtual void OnSmtpNotice(const SNotice& notice) = 0;
    // The connection is encrypted: the TLS text for the status line.
    virtual void OnSmtpSecured(const std::string& text) {}
    // The conversation is over. Delivered from the event loop, never from
    // inside a call of the session, so the observer may destroy it.
    virtual void OnSmtpEnded(SSmtpOutcome outcome) = 0;
};

class SSmtpSession : public platform::SocketListener {
public:
    // `inet`: the user's account (SMTP host and port, user name, address);
    // its client address is set to the local host name at every start.
    // `header`: the compose window's header (From, the recipients, the header
    // text sent first when `headerInFile` is false). `lines`: the message
    // (whole when `headerInFile`, else the body).
    SSmtpSession(SUserInetData& inet, SEMailHeader& header, SGetLine& lines, bool headerInFile,
                 SSmtpSessionObserver& observer);
    ~SSmtpSession() override;
    SSmtpSession(const SSmtpSession&) = delete;
    SSmtpSession& operator=(const SSmtpSession&) = delete;

    // The settings are incomplete: the application asks the user
    // (qimreq::AskNetworkSettings); true when they are complete now.
    std::function<bool(SUserInetData& inet)> askNetworkSettings;
    // The header lacks From, Date or a recipient: the compose window opens its
    // header dialog; true when the user completed it (the header is rebuilt).
    std::function<bool(SEMailHeader& header)> completeHeader;
    // The server refused the password (535): the user may type it again
    // (qimreq::AskPassword); true when a new one is in `inet`.
    std::function<bool(SUserInetData& inet)> askPassword;
    // Start (kCmdSmtpStart); the conversation runs from the event loop.
    void Start();
    // The cancel button (kCmdSmtpCancel).
    void Cancel();

    SSmtpState State() const { return state_; }
    // Milliseconds without any progress before the conversation is given up.
    void SetTimeout(int milliseconds);
    static constexpr int kDefaultTimeoutMs = 120 * 1000;

    // The progress stars: one counter for the whole program, 0 to 19.
    static int ProgressCounter();

    // platform::SocketListener
    void OnSocketEvent(int event, int error) override;
    void OnHostLookup(int handle, int error) override;

private:
    template <typename F>
    void Post(F&& work);
    void Connect();
    void WriteStep();
    void ReadStep();
    bool ReadReply();
    bool OnFinalLine(int code, int otherCode, const std::function<void(bool accepted)>& decide);
    bool OnReply(int code, int otherCode, const std::string& step, const std::function<bool()>& accepted);
    static std::string StepText(unsigned id, const std::string& address = std::string());
    bool SendCommand(const std::string& text, SSmtpState next);
    bool SendData(const std::string& data);
    bool SendData(const char* data, std::size_t size);
    void PutMessageLine();
    bool SendMessageLines();
    void Notify(unsigned id, std::vector<SNotice::Arg> args = {});
    void SocketError(const char* operation, int code);
    void Status(unsigned id);
    void Status(const std::string& text);
    void Fail(unsigned id);
    void CloseConnection();
    void Finish();
    void End(SSmtpOutcome outcome);
    void Touch();
    void OnTimeout();
    void ReplyRefused(const std::string& step);
    void FailWith(const SNotice& notice);
    void OnConnectFailed(int error);
    void OnTlsDone(int error);
    void OnSecured();
    void CertificateRefused();
    bool OnEhloReply();
    bool AfterGreetingExchange();
    bool BeginAuth();
    bool OnAuthReply();
    void PrepareAuthLine(const std::string& challenge);
    bool BeginMailTransaction();
    long long MessageBytes();

    SUserInetData& inet_;
    SEMailHeader& header_;
    SGetLine& lines_;
    bool headerInFile_;
    SSmtpSessionObserver& observer_;

    SSmtpState state_ = SSmtpState::Idle;
    SSmtpDataPhase phase_ = SSmtpDataPhase::HeaderText;
    std::unique_ptr<platform::NetSocket> socket_;
    SSmtpRead reader_;
    std::vector<std::string> addresses_;
    int lookup_ = 0;
    bool starting_ = false;
    bool writeReadyWhileIdle_ = false;
    bool sendPending_ = false;
    std::string pending_;
    std::string line_;        // the line being sent
    std::string stuffed_;     // ... dot-stuffed
    std::vector<char> batch_;      // message lines in ISO-2022-JP, sent at once
    std::size_t batchSize_ = 0;
    std::string progressText_;
    std::string recipient_;   // the address of the last RCPT TO
    std::string lastReply_;   // the server's last reply line, as a message quotes it
    bool linesOpen_ = false;
    bool abandoned_ = false;       // the send cannot go on (body unreadable, too large): QUIT, then failed
    bool messageAccepted_ = false; // the 250 after the data came
    bool cancelRefused_ = false;   // the user was told once that cancel must wait
    bool lastLineCut_ = false;     // the reader's last line was a piece of a longer one
    int replyLines_ = 0;           // continuation lines of the reply being read
    SSmtpExtensions extensions_;   // what the last EHLO reply offered
    SSmtpAuthMechanism auth_ = SSmtpAuthMechanism::None;
    int authStep_ = 0;             // responses sent after the AUTH command
    std::string authLine_;         // the next line of the AUTH exchange
    std::vector<std::string> trustedOnce_;  // certificates the user trusted for this send
    int timeoutMs_ = kDefaultTimeoutMs;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<QObject> context_;
    QTimer* timer_ = nullptr;      // owned by context_
};

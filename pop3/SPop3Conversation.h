// The POP3 conversation that brings the server's mail into the inbox: host
// lookup, connect, USER/PASS or APOP, STAT, then RETR (and DELE unless mail
// stays on the server) of every message, and QUIT. It is driven only by the
// socket's notifications, the lookup completion and the steps it posts itself,
// and reports what it does to an observer (the dialog, or a terminal): every
// text the user is to see comes as a notice the observer shows.
//
// The login-only mode runs the same states up to the login reply and then
// quits: it answers "does the server take this user and password?".
//
// A message becomes a mail file only once all of it is on disk: it is written
// under a temporary name, flushed, and renamed to its number before the DELE
// for it is sent. A message that does not arrive whole leaves no file.
//
// While mail stays on the server, the conversation asks for the messages'
// unique ids (UIDL) and retrieves only those whose id the account's record
// (SKnownUidls) does not hold; each stored message's id is recorded at once.
// A server without UIDL gets every message retrieved, as one that deletes.
//
// With POP3Security the connection is TLS from the first byte or after STLS;
// a server that refuses STLS ends the run (never a login in plain text).
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/SNotice.h"
#include "common/SSocketRead.h"
#include "platform/DurableFile.h"
#include "platform/NetSocket.h"
#include "pop3/Pop3Codes.h"
#include "pop3/SKnownUidls.h"
#include "pop3/SSetHeaderStatus.h"
#include "pop3/SUidlListing.h"

class SGetRecvFileName;
class SSettingData;
class SUserInetData;

// What a conversation tells its owner. Texts are Shift_JIS.
class SPop3Observer {
public:
    virtual ~SPop3Observer() = default;
    virtual void ShowStatus(const std::string& text) {}
    virtual void ShowFrom(const std::string& text) {}
    virtual void ShowSubject(const std::string& text) {}
    // The connection is encrypted: its TLS text for the status line.
    virtual void ShowSecurity(const std::string& text) {}
    virtual void SetProgressRange(int low, int high) {}
    virtual void SetProgress(int value) {}
    // How far message `message` has come, in percent of its size (0 to 99),
    // told whenever the figure grows: a long message moves the progress too.
    virtual void SetMessagePart(int message, int percent) {}
    // The server holds `count` messages and the receive begins (the dialog
    // plays the new-mail sound).
    virtual void MailWaiting(int count) {}
    // A message box to show now, in this order with the others.
    virtual void Notify(const SNotice& notice) = 0;
    // qimreq::AskNetworkSettings and AskPassword: true when the user confirmed; the record then holds
    // the new values.
    virtual bool AskNetworkSettings() { return false; }
    virtual bool AskPassword() { return false; }
    // The login state for the application: qimreq::LoginAccepted, LoginRefused
    // or LoginPromptCancelled. Delivered from the event loop.
    virtual void ReportLogin(int code) {}
    // The run is over: kResultOk or kResultCancel, and whether it failed (an
    // error, a broken or stalled connection: the caller must not take it for a
    // complete run). Delivered once, from the event loop.
    virtual void Ended(int result, bool failed) = 0;
};

class SPop3Conversation : public platform::SocketListener {
public:
    enum class Mode { Receive, LoginOnly };

    // `inet` may be changed by the settings and password requests.
    SPop3Conversation(SUserInetData& inet, const SSettingData& settings, SPop3Observer& observer,
                      Mode mode = Mode::Receive);
    ~SPop3Conversation() override;
    SPop3Conversation(const SPop3Conversation&) = delete;
    SPop3Conversation& operator=(const SPop3Conversation&) = delete;

    // The folder new mail goes into (Receive mode).
    void SetInbox(const std::string& inbox) { inbox_ = inbox; }
    // How long the server may stay silent (milliseconds).
    void SetTimeout(int milliseconds);

    // Posts the start step.
    void Start();
    // The user asks to close. True when the run is over and the owner may go.
    // While a conversation runs the first request lets the current message
    // finish and then quits; a second one cuts the connection at once.
    bool RequestClose();

    qimpop3::State GetState() const { return state_; }
    int MessageCount() const { return messageCount_; }
    // Messages stored as mail files in this run.
    int StoredCount() const { return stored_; }
    // The login code reported (0 while none was).
    int LoginCode() const { return loginCode_; }

    // The APOP digest: MD5 of the time stamp followed by the password, as 32
    // lowercase hexadecimal digits.
    static std::string ApopDigest(const std::string& timestamp, const std::string& password);

    void OnSocketEvent(int event, int error) override;
    void OnHostLookup(int handle, int error) override;

private:
    enum class Reply { Incomplete, Accepted, Refused };

    template <typename F>
    void Post(F&& step);
    void StartStep();
    void ConnectStep();
    void WriteStep();
    void ReadStep();
    Reply ReadReply(const char* socketErrorText);
    void OnLoginReply(bool accepted);
    void OnConnectFailed(int error);
    void OnTlsDone(int error);
    void CertificateRefused();
    void ShowSecured();
    bool StatStep();
    void ReceiveUidlListing();
    bool EndOfUidlListing();
    // RETR of the first message still to come, or QUIT when none is.
    void BeginRetrieval();
    // The first message from `from` on whose id is not recorded as received.
    int NextToRetrieve(int from) const;
    // Records the id of the message just stored; false (and the run ends with
    // QUIT) when the record cannot be written.
    bool RecordStored();
    SNotice UidlFileNotice(unsigned id) const;
    void MessageStart();
    void ReceiveBody();
    bool EndOfMessage();
    void ShowStars();
    // The size of the message whose RETR was accepted: from the reply
    // ("+OK 1234 octets"), else the mailbox's average; 0 when unknown.
    long MessageSizeOf(const std::string& retrReply) const;
    void CountReceived(int bytes);
    void AfterMessage();
    bool SendLine(const std::string& line);
    bool FlushPending();

    void Status(unsigned id);
    void StatusText(const std::string& text);
    void Notify(unsigned id, std::vector<SNotice::Arg> args = {});
    void SocketError(const char* operation, int code);
    // A failed reply or read: the specific notice (if any), qimstr::ErrorAborting, the
    // connection closed, the run ends with kResultCancel.
    void Fail(std::optional<SNotice> specific = std::nullopt);
    void Fail(unsigned specificId) { Fail(SNotice::Program(specificId)); }
    // A failure noticed while the server is still in step: the conversation
    // ends with QUIT (so the deletions of stored messages take effect), then
    // fails as Fail does with `notice`.
    void FailAfterQuit(const SNotice& notice);
    // The same without leaving the state: the rest of the message under way is
    // still to be read.
    void DeferFailure(const SNotice& notice);
    static SNotice WriteError(int code);
    // A failure that leaves the run with kResultOk but failed.
    void Abandon();
    void CloseConnection();
    void FinishRun();
    void End(int result, bool failed);
    void Report(int code);
    void RestartTimer();
    void OnTimeout();

    SUserInetData& inet_;
    const SSettingData& settings_;
    SPop3Observer& observer_;
    Mode mode_;
    std::unique_ptr<QObject> context_;  // posted steps die with the conversation
    QTimer timer_;
    int timeoutMs_ = qimpop3::kDefaultTimeoutSeconds * 1000;
    std::unique_ptr<platform::NetSocket> socket_;
    SPop3Read reader_;
    SSetHeaderStatus header_;
    std::unique_ptr<SGetRecvFileName> namer_;
    platform::DurableFile file_;
    std::unique_ptr<SKnownUidls> known_;     // while mail stays on the server
    std::unique_ptr<SUidlListing> listing_;  // the server's ids, once it listed them

    qimpop3::State state_ = qimpop3::State::Idle;
    std::string inbox_;
    std::string host_;
    int port_ = 0;
    std::vector<std::string> addresses_;
    int lookupHandle_ = 0;
    std::string digest_;
    qimpop3::State afterStls_ = qimpop3::State::SendUser;      // the login's first state, once inside TLS
    std::vector<std::string> trustedOnce_;   // certificates the user trusted for this run
    std::string pendingOut_;  // the part of a command the socket has not taken yet
    int messageCount_ = 0;
    long mailboxSize_ = 0;
    long messageSize_ = 0;   // of the message under way, for its progress
    long received_ = 0;      // its bytes so far
    int partShown_ = 0;      // the percent told last
    int current_ = 0;
    int lineCounter_ = 0;
    int stored_ = 0;
    int loginCode_ = 0;
    bool apop_ = false;
    bool deleteOnServer_ = true;
    bool starting_ = false;
    bool cancelRequested_ = false;
    bool inHeader_ = false;
    bool continuing_ = false;  // the last piece was cut: the next one is not at a line start
    bool failed_ = false;
    bool deferredFailure_ = false;  // ends with QUIT, then fails
    std::optional<SNotice> deferred_;  // what it then says
    std::string lastReply_;  // the last reply line, as a message quotes it
    bool ended_ = false;
};

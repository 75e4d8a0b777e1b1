// The IMAP4 conversation of the server-folder mode: one long-lived session
// that stays connected and logged in between operations. Each request names
// an operation (Imap4Codes.h); the session carries it out as a state machine
// driven only by the socket's notifications, the lookup completion, the timer
// and the steps it posts itself, and reports through an observer: the status
// line, the gauge, the message boxes, and the completion of every operation.
// It has no window; the dialogs (ui/) show what it reports.
//
// Every request it accepts ends with exactly one completion of the requested
// operation code (a header fetch that the start-up turned into one of recent
// mail keeps the code asked for), after any notifications it brought (751
// the login's result, 754 no recent mail, 761 new mail); the keep-alive NOOP
// has none.
// A connection that the server ends (BYE), that breaks, that stays silent for
// the timeout, or whose replies cannot be followed (a tag other than the one
// sent, a literal too large) is closed: the next request connects anew.
//
// Mailbox names: local server-folder paths are "_QimP\A\B"; on the server the
// root component is "_QimP" ("#mh" for the MH variant), every other one
// modified UTF-7, joined with the server's hierarchy delimiter. "_QimP" itself
// is the INBOX. A folder of the plain variant keeps its mail in its
// subfolder "_mbox".
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/SFindCondition.h"
#include "common/SNotice.h"
#include "imap/Imap4Codes.h"
#include "imap/SImap4AppendMail.h"
#include "imap/SImap4Capabilities.h"
#include "imap/SImap4MailboxNames.h"
#include "imap/SImap4Read.h"
#include "imap/SImap4Search.h"
#include "imap/SImap4ShowStatusMessage.h"
#include "imap/SImap4Tag.h"
#include "imap/SSaveFileByLine.h"
#include "platform/NetSocket.h"

class QObject;
class QTimer;
class SImap4Command;

class SImap4HeaderSink;
class SSettingData;
class SUserInetData;

// A request: what an operation takes (the table of operation codes says which).
struct SImap4Request {
    std::string listFile;     // the folder-list file to write (kOpListFolders)
    std::string folder;       // the folder worked on (local path "_QimP\...")
    std::string source;       // source / old folder path
    std::string destination;  // destination / new folder path
    std::string mailFile;     // the mail file fetched into or appended from
    SImap4HeaderSink* cache = nullptr;  // header fetches: not owned
    int first = 0;            // first message number (also the body fetch's message)
    int last = 0;
    unsigned char mark = 0;   // local mark byte, made into server flags
    bool add = true;          // change flags: add (true) or remove
    unsigned flags = 0;       // change flags: these flag bits instead of the mark's (0: the mark's)
    SFindMailCondition condition;       // search
    std::string* searchResult = nullptr;  // search: the numbers, space separated; not owned
    int replyTo = 0;          // handed back with body fetch and search completions
};

// Who a completion is addressed to, as the requester is told.
enum class SImap4Target {
    None,     // no window (wParam 0)
    Session,  // the session's own dialog
    Reply,    // the request's replyTo
};

// What a session tells its owner. Texts are Shift_JIS.
class SImap4Observer {
public:
    virtual ~SImap4Observer() = default;
    virtual void ShowStatus(const std::string& text) {}   // the status line
    virtual void ShowCaption(const std::string& text) {}  // the dialog's caption
    virtual void ShowSecurity(const std::string& text) {} // the TLS text once encrypted
    virtual void SetProgressRange(int low, int high) {}
    virtual void SetProgress(int value) {}
    // The dialog is shown (an operation other than NOOP begins) or hidden
    // (it ended); the main window is disabled meanwhile.
    virtual void ShowSession(bool shown) {}
    // A message box, in this order with the others.
    virtual void Notify(const SNotice& notice) = 0;
    // A socket-level report: the error dialog ("Socket Error"). `text` is
    // the report with the description of `code` (0: none) appended.
    virtual void SocketError(const std::string& text, int code) {}
    // kAskNetworkSettings / kAskPassword: true when the user confirmed (the
    // account record then holds the new values).
    virtual bool AskNetworkSettings() { return false; }
    virtual bool AskPassword() { return false; }
    // A completion or notification: (result << 16) | operation, addressed as
    // `target` says (`replyTo` of the request for SImap4Target::Reply).
    // Delivered from the event loop, in the order they happened.
    virtual void Completed(int operation, int result, SImap4Target target, int replyTo) = 0;
};

class SImap4Session : public platform::SocketListener {
public:
    SImap4Session(SUserInetData& inet, const SSettingData& settings, SImap4Observer& observer);
    ~SImap4Session() override;  // LOGOUT without waiting when connected
    SImap4Session(const SImap4Session&) = delete;
    SImap4Session& operator=(const SImap4Session&) = delete;

    // Accepts a request: copies what the operation needs, becomes busy and
    // posts the start of the operation. False (nothing changed) for an
    // unknown operation code, while busy, and for a header fetch without
    // its cache.
    bool Request(const SImap4Request& request, int operation);
    // The Cancel button: before connecting the operation ends at once;
    // otherwise it ends before the next command goes out. A second cancel
    // while the server keeps the session waiting cuts the connection. The
    // operation completes with failure (SImap4Target::None), without a box.
    void Cancel();
    // The emergency button: the warning box, and the operation ends at once
    // (with failure; the connection goes when a command was under way).
    void Emergency();
    // The owner's end of the current operation, and the reset to
    // disconnected; neither posts a completion.
    virtual void EndOperation();
    void Reset();

    // The start-up flag of the server-folder window: with it (and
    // OnlyNewMailsStart or Ctrl held) a header fetch takes recent mail only.
    void SetStartingUp(bool startingUp, bool ctrlHeld = false);
    // How long the server may stay silent (milliseconds).
    void SetTimeout(int milliseconds);
    // The keep-alive timer's tick (milliseconds; "NoopMin" ticks make a NOOP).
    void SetKeepAliveTick(int milliseconds);

    qimimap::State GetState() const { return state_; }
    // A request is under way (the keep-alive NOOP does not count: a request
    // then waits for its end).
    bool IsBusy() const { return busy_; }
    int Operation() const { return operation_; }
    bool IsConnected() const;
    bool IsLoggedIn() const;
    const std::string& Delimiter() const { return delimiter_; }
    // The selected mailbox as the server last told it.
    const SImap4Status& MailboxStatus() const { return mailbox_; }

    // The root component on the server: "_QimP", or "#mh" for the MH variant.
    virtual const char* RootName() const { return qimimap::kQimPRoot; }
    // Local path -> server name and back, with the learned delimiter.
    std::string ServerNameOf(const std::string& localPath) const;
    std::string LocalPathOf(const std::string& serverName) const;
    // The mailbox SELECT, EXAMINE, CREATE, COPY and APPEND use for a folder.
    std::string MailboxOf(const std::string& localPath) const;

    void OnSocketEvent(int event, int error) override;
    void OnHostLookup(int handle, int error) override;

protected:
    // The delete-folder response: the MH variant has no "_mbox" to delete.
    virtual bool DeletesMboxFirst(int operation) const { return operation == qimimap::kOpDeleteFolder; }

private:
    // What the piece under way belongs to.
    enum class Response { None, Other, HeaderFetch, BodyFetch, ListName, Search };

    template <typename F>
    void Post(F&& step);
    SImap4MailboxNames Names() const { return SImap4MailboxNames(RootName(), delimiter_); }

    // Operations.
    void StartOperation(unsigned serial);
    void PrepareOperation();
    qimimap::State FirstState() const;
    void StartKeepAliveNoop();
    // Connecting and logging in.
    bool BeginConnect();
    void ConnectStep();
    void OnGreeting(bool ok);
    void ContinueToLogin();
    void BeginLogin();
    void OnLoginReply(bool ok);
    void OnTlsDone(int error);
    void CertificateRefused();
    void ShowSecured();
    // Sending.
    void WriteStep();
    void SendForState();
    bool Send(const SImap4Command& command, qimimap::State next);
    bool FlushPending();
    void SendAppendLines();
    void SetStore(int first, int last, bool add, unsigned flags);
    // Receiving.
    void ReadStep();
    void OnPiece(SImap4Read::Piece piece);
    void OnResponseStart();
    void OnUntagged();
    void OnStatusData();
    void OnContinuation();
    void OnTagged(bool ok);
    void OnLineRest();
    void OnLiteral();
    void OnCommandDone();
    void OnSelected(bool ok);
    void OnHeaderFetchLine();
    void OnHeaderFetched(bool ok);
    void AdvanceHeaderFetch();
    void OnBodyFetchLine();
    void OnBodyFetched(bool ok);
    void OnListLine();
    void OnListName(const std::string& name);
    void OnListEnd(bool ok);
    void OnLogoutDone();
    // Ending.
    void Complete(int operation, int result, SImap4Target target);
    void Finish(int result, SImap4Target target);
    void Fail(std::optional<SNotice> specific = std::nullopt);
    // The replies cannot be followed (or the connection broke): `notice`,
    // the connection closed, the operation failed.
    void FailAndDisconnect(const SNotice& notice);
    void Disconnect();
    bool CommandInFlight() const;
    void AbandonHeaderFetch();
    void Notify(unsigned id, std::vector<SNotice::Arg> args = {});
    void ReportSocketError(const std::string& operation, int code);
    void StatusText(const std::string& text);
    void RestartTimeout();
    void OnTimeout();
    void StartKeepAlive();
    void OnKeepAliveTick();

    SUserInetData& inet_;
    const SSettingData& settings_;
    SImap4Observer& observer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // posted steps die with the session
    std::unique_ptr<QObject> context_;                             // owns the timers
    QTimer* timeout_ = nullptr;
    QTimer* keepAlive_ = nullptr;
    int timeoutMs_ = qimimap::kDefaultTimeoutSeconds * 1000;
    int keepAliveTickMs_ = qimimap::kKeepAliveTickMs;
    int ticks_ = 0;
    std::unique_ptr<platform::NetSocket> socket_;
    bool socketUsed_ = false;  // it has been connected: a new connection gets a new socket
    SImap4Read reader_;
    SImap4Tag tag_;
    SImap4ShowStatusMessage display_;
    SImap4Capabilities caps_;
    std::string capsLine_;  // the line the capabilities came in, as a message quotes it

    qimimap::State state_ = qimimap::State::Idle;
    int operation_ = 0;     // the operation carried out (a header fetch may become 765)
    int requested_ = 0;     // the code its completion carries; 0 for the keep-alive NOOP
    bool busy_ = false;
    bool started_ = false;
    unsigned serial_ = 0;   // of the request whose start is posted
    bool shown_ = false;
    bool connected_ = false;
    bool loggedIn_ = false;
    bool loginAccepted_ = false;
    bool logoutAfterLogin_ = false;
    bool abortRequested_ = false;
    bool startingUp_ = false;
    bool ctrlHeld_ = false;
    unsigned connection_ = 0;  // counts connections, so a loop over one's bytes stops when it ends
    std::optional<std::pair<SImap4Request, int>> queued_;  // a request that waits for the keep-alive NOOP

    std::string host_;
    std::vector<std::string> addresses_;
    int lookupHandle_ = 0;
    std::vector<std::string> trustedOnce_;
    std::string pendingOut_;              // what the socket has not taken yet
    std::vector<std::string> segments_;   // the rest of a command with literals, each after a "+"
    std::string awaitingTag_;             // the tag of the command whose reply is awaited
    std::string lastReply_;               // the last tagged reply, as a message quotes it

    SImap4Request request_;
    std::string delimiter_;
    SImap4Status mailbox_;
    std::string current_;                 // the folder SELECT or EXAMINE takes
    int first_ = 0;
    int last_ = 0;
    int recent_ = 0;
    int currentMessage_ = 0;
    int storeFirst_ = 0;
    int storeLast_ = 0;
    bool storeAdd_ = true;
    unsigned storeFlags_ = 0;
    Response response_ = Response::None;

    // Header fetch.
    bool headerFetching_ = false;
    bool headerBegun_ = false;
    SImap4FetchRecord header_;
    std::string headerLine_;              // a header line whose pieces are still coming
    // Body fetch.
    SSaveFileByLine bodyFile_;
    SImap4FetchRecord body_;
    bool bodyReceived_ = false;
    std::optional<SNotice> bodyProblem_;
    int bodyUnit_ = 1;
    int bodyShown_ = -1;
    // Folder list.
    SSaveFileByLine listFile_;
    bool listOpenPending_ = false;
    bool listFailed_ = false;
    bool inimboxSeen_ = false;
    bool creatingInimbox_ = false;
    bool listedAfterCreate_ = false;
    std::string listName_;
    bool listNameTooLong_ = false;
    // Append.
    SImap4AppendMail append_;
    long long appendSent_ = 0;
    // Search.
    SImap4Search search_;
};

// Servers whose QimP folders live under the MH namespace "#mh".
class SImap4MhSession : public SImap4Session {
public:
    using SImap4Session::SImap4Session;
    const char* RootName() const override { return qimimap::kMhRoot; }

protected:
    bool DeletesMboxFirst(int operation) const override { return false; }
};

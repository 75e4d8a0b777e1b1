// The IMAP4 conversation of the server-folder mode: one long-lived session
// that stays connected and logged in between operations. Each request names
// an operation (Imap4Codes.h); the session carries it out as a state machine
// driven only by the socket's notifications, the lookup completion, the timer
// and the steps it posts itself, and reports through an observer: the status
// line, the gauge, the message boxes, and the completion of every operation.
// It has no window; the dialogs (ui/) show what it reports.
//
// Mailbox names: local server-folder paths are "_QimP\A\B"; on the server the
// root component is "_QimP" ("#mh" for the MH variant), every other one
// modified UTF-7, joined with the server's hierarchy delimiter. "_QimP" itself
// is the INBOX. A folder of the plain variant keeps its mail in its
// subfolder "_mbox".
#pragma once

#include <cstdint>
#include <string>

#include "common/SFindCondition.h"
#include "common/SNotice.h"
#include "imap/Imap4Codes.h"
#include "platform/NetSocket.h"

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
    // unknown operation code.
    bool Request(const SImap4Request& request, int operation);
    // The Cancel button: before connecting the operation ends at once;
    // otherwise it ends before the next command goes out. A second cancel
    // while the server keeps the session waiting cuts the connection.
    void Cancel();
    // The emergency button: the operation ends at once.
    void Emergency();
    // The owner's end of the current operation, and the reset to disconnected.
    virtual void EndOperation();
    void Reset();

    // The start-up flag of the server-folder window: with it (and
    // OnlyNewMailsStart or Ctrl held) a header fetch takes recent mail only.
    void SetStartingUp(bool startingUp, bool ctrlHeld = false);
    // How long the server may stay silent (milliseconds).
    void SetTimeout(int milliseconds);

    qimimap::State GetState() const { return state_; }
    bool IsBusy() const { return busy_; }
    int Operation() const { return operation_; }
    bool IsConnected() const;
    bool IsLoggedIn() const;
    const std::string& Delimiter() const { return delimiter_; }

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
    // (the implementation's own members)
    SUserInetData& inet_;
    const SSettingData& settings_;
    SImap4Observer& observer_;
    qimimap::State state_ = qimimap::State::Idle;
    int operation_ = 0;
    bool busy_ = false;
    std::string delimiter_;
};

// Servers whose QimP folders live under the MH namespace "#mh".
class SImap4MhSession : public SImap4Session {
public:
    using SImap4Session::SImap4Session;
    const char* RootName() const override { return qimimap::kMhRoot; }

protected:
    bool DeletesMboxFirst(int operation) const override { return false; }
};

// What the operations on server mail ask of the window that runs them: the
// selection of its header list, requests to the IMAP4 session, the delete
// confirmation, and the local bookkeeping once the last request completed.
// The server-folder window implements it; tests give their own.
#pragma once

#include <string>
#include <vector>

#include "common/SNotice.h"
#include "imap/SImap4Session.h"
#include "store/SMailCommands.h"

namespace qimimap {

// The body fetch a copy into a local folder makes (752).
constexpr int kOpFetchForCopy = kOpFetchBodyForReply;

}  // namespace qimimap

// A folder as the operations name it: a local folder (its full path), or a
// server folder (its node path "_QimP\A" for its cache, and the mailbox that
// holds its mail for the requests).
struct SQimPFolderRef {
    std::string path;
    std::string mailbox;  // server folders only
    bool server = false;

    static SQimPFolderRef Local(const std::string& path) { return {path, std::string(), false}; }
    static SQimPFolderRef Server(const std::string& path, const std::string& mailbox) { return {path, mailbox, true}; }
};

// The header list as the operations walk it: positions 0 (top) to
// ItemCount() - 1.
class SQimPMailSelection {
public:
    virtual ~SQimPMailSelection() = default;
    virtual int ItemCount() const = 0;
    virtual bool IsSelected(int position) const = 0;
    // The mail number shown at `position`; 0 or less when it cannot be read.
    virtual int NumberAt(int position) const = 0;
    // The mark byte the list keeps for the mail at `position` (255: unknown).
    virtual unsigned char MarkAt(int position) const = 0;
};

class SQimPMailWindow {
public:
    virtual ~SQimPMailWindow() = default;

    virtual const SQimPMailSelection& Selection() const = 0;
    // Hands a request to the session; false when it was not accepted (no
    // session, or one that is busy). A command whose request is not accepted
    // does nothing more.
    virtual bool SendRequest(const SImap4Request& request, int operation) = 0;
    // A message box.
    virtual void Notify(const SNotice& notice) = 0;

    // The delete confirmation of mail `number` (three columns of its list
    // line and qimstr::DeleteThisMail, "all" offered).
    virtual SDeleteAnswer AskDelete(int number) = 0;
    // "All" was chosen: qimstr::DeleteAllSelected, true on Yes.
    virtual bool ConfirmDeleteAll() = 0;
    // The viewers let go of the fetched files of messages first..last of `mailbox`.
    virtual void ReleaseViewers(const std::string& mailbox, int first, int last) = 0;

    // After a move into a server folder: these mails of the local `folder`
    // deleted without asking (files and records).
    virtual void DeleteLocalMails(const std::string& folder, const std::vector<int>& numbers) = 0;
    // The cache of a server folder no longer tells the server's state: it is
    // reset, and a list that shows the folder is fetched again.
    virtual void ServerFolderChanged(const SQimPFolderRef& folder) = 0;
    // Mail came into a local folder (its header cache is up to date).
    virtual void LocalFolderChanged(const std::string& folder) = 0;
    // The server changed the read mark of mail `number` of `folder`.
    virtual void ReadMarkChanged(const SQimPFolderRef& folder, int number, bool read) = 0;
};

// What the operation objects work with: the window, and the delete of the
// selected server mails that ends a move.
class SQimPOperationHost : public SQimPMailWindow {
public:
    virtual void DeleteSelectedInServer(const SQimPFolderRef& folder) = 0;
};

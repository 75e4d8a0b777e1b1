// The commands of the server-folder window on mails, over its operation
// objects: move or copy between any two folders with a server on one side,
// delete (asking or not), mark read or unread. Each command starts its
// object over the selection as it was when the command began (a list that
// changes meanwhile does not change what the command works on); the
// session's completions step it on, or finish it with the message of that
// operation when a request failed, until the selection is used up. One
// command runs at a time.
#pragma once

#include <memory>
#include <vector>

#include "imap/SChangeAttribMailsInServer.h"
#include "imap/SCopyMailsFromServer.h"
#include "imap/SCopyMailsInServer.h"
#include "imap/SCopyMailsToServer.h"
#include "imap/SDeleteMailsInServer.h"

class SQimPMemCacheFolder;

class SQimPMailOperations {
public:
    // `cache` is the window's: the destination's cache is reset before mail
    // is copied into a server folder, so that it is fetched when shown.
    SQimPMailOperations(SQimPMailWindow& window, SQimPMemCacheFolder& cache);
    ~SQimPMailOperations();
    SQimPMailOperations(const SQimPMailOperations&) = delete;
    SQimPMailOperations& operator=(const SQimPMailOperations&) = delete;

    // Moves (or copies) the selected mails of `source` into `destination`.
    // Nothing for the same folder or for two local folders (the store's
    // command does that). False when nothing was started.
    bool Transfer(const SQimPFolderRef& source, const SQimPFolderRef& destination, bool copy);
    // Deletes the selected mails of a server folder, asking per mail or not.
    bool Delete(const SQimPFolderRef& folder, bool asking);
    // Sets (read) or clears the read mark of the selected mails of a server folder.
    bool ChangeReadMark(const SQimPFolderRef& folder, bool read);

    // A completion of the session. True when it belonged to a mail command.
    bool Completed(int operation, int result);
    // A command is between its start and its last completion.
    bool InProgress() const { return running_ != Running::None; }

private:
    enum class Running { None, InServer, ToServer, FromServer, Delete, Flags, Close };
    class Host;

    bool StartDelete(const SQimPFolderRef& folder, bool asking);
    template <typename Operation>
    bool Begin(Operation& operation, Running kind);
    // Step on after a success; finish when the selection is used up.
    template <typename Operation>
    void StepOn(Operation& operation);
    template <typename Operation>
    void FinishFailed(Operation& operation, unsigned message);
    void FinishDeleter(bool ok);

    SQimPMailWindow& window_;
    SQimPMemCacheFolder& cache_;
    std::unique_ptr<Host> host_;
    SQueryDeleteMailsInServer deleter_{true};
    SChangeAttribMailsInServer flagChanger_;
    std::unique_ptr<SCopyMailsInServer> inServer_;
    std::unique_ptr<SCopyMailsToServer> toServer_;
    std::unique_ptr<SCopyMailsFromServer> fromServer_;
    Running running_ = Running::None;
};

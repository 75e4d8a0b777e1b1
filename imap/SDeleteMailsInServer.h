// Deleting the selected mails of a server folder: STORE +\Deleted (operation
// 748) per run of consecutive numbers, the viewers letting go of those
// messages first, then one CLOSE (749) so that the server expunges them. The
// asking variant asks per mail, the last selected first, with the delete
// confirmation: Cancel ends the command, No skips the mail, Yes deletes it,
// and All (confirmed once more) deletes it and every mail after it without
// asking again.
#pragma once

#include "imap/SQimPMailWindow.h"
#include "imap/SQimPSelectionWalk.h"

class SDeleteMailsInServer {
public:
    virtual ~SDeleteMailsInServer() = default;

    virtual bool Start(SQimPOperationHost& window, const SQimPFolderRef& folder);
    virtual bool Step();
    // CLOSE when any mail was marked deleted; a failed mark of a later run
    // does not keep the earlier ones from going. False when there was nothing
    // to close or the CLOSE was not accepted.
    virtual bool Finish(bool ok);

    // The mails whose marks the server took.
    int Count() const { return count_; }
    const SQimPFolderRef& Folder() const { return folder_; }

protected:
    // Sends the request of one run; the run counts once the server took it.
    bool SendRun(int first, int last);
    // The run under way was taken.
    void Confirm();
    // The request of one run (748 here).
    virtual int Operation() const;
    virtual void FillRequest(SImap4Request& request) const {}
    virtual void Confirmed(int first, int last) {}

    SQimPOperationHost* window_ = nullptr;
    SQimPFolderRef folder_;
    SQimPSelectionWalk walk_;
    int count_ = 0;
    int pendingFirst_ = 0;
    int pendingLast_ = -1;  // none while below pendingFirst_
};

class SQueryDeleteMailsInServer : public SDeleteMailsInServer {
public:
    explicit SQueryDeleteMailsInServer(bool asking = true) : asking_(asking) {}
    void SetAsking(bool asking) { asking_ = asking; }
    bool IsAsking() const { return asking_; }

    bool Step() override;

private:
    bool asking_;
};

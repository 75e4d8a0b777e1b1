// Copying and moving the selected mails of one server folder to another: one
// COPY (operation 747) per run of consecutive numbers, sent one after the
// other as each completes. The move then deletes what it copied from the
// source, without asking; a move that failed on the way deletes nothing.
//
// Every operation object of the server mails has the same three steps: Start
// (false when nothing is selected), Step (sends the next request; false when
// the selection is used up or the request was not accepted) and Finish (the
// local work after the last completion; `ok`: all requests succeeded).
#pragma once

#include "imap/SQimPMailWindow.h"
#include "imap/SQimPSelectionWalk.h"

class SCopyMailsInServer {
public:
    virtual ~SCopyMailsInServer() = default;

    virtual bool Start(SQimPOperationHost& window, const SQimPFolderRef& source, const SQimPFolderRef& destination);
    virtual bool Step();
    virtual bool Finish(bool ok);

    // The mails the requests sent so far carry.
    int DoneCount() const { return done_; }
    const SQimPFolderRef& Source() const { return source_; }
    const SQimPFolderRef& Destination() const { return destination_; }

protected:
    SQimPOperationHost* window_ = nullptr;
    SQimPFolderRef source_;
    SQimPFolderRef destination_;
    SQimPSelectionWalk walk_;
    int done_ = 0;
};

class SMoveMailsInServer : public SCopyMailsInServer {
public:
    bool Finish(bool ok) override;
};

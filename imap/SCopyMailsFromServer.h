// Copying and moving the selected mails of a server folder into a local
// folder: each mail, the last selected first, is fetched whole (operation
// 752) into the next free number of the local folder, and keeps its read
// mark there. Finish brings the local folder's header cache up to date; a
// fetch that failed leaves no partial file behind. The move then deletes the
// server mails, without asking, once every one of them arrived.
#pragma once

#include <string>

#include "imap/SCopyMailsInServer.h"

class SCopyMailsFromServer : public SCopyMailsInServer {
public:
    bool Start(SQimPOperationHost& window, const SQimPFolderRef& source, const SQimPFolderRef& destination) override;
    bool Step() override;
    bool Finish(bool ok) override;

    // The local number the first fetched mail got (0 before any).
    int FirstLocalNumber() const { return firstLocal_; }

private:
    // The mail of the last request has arrived.
    void Arrived();

    int nextFree_ = 0;
    int firstLocal_ = 0;
    // The request under way.
    std::string pendingFile_;
    int pendingNumber_ = 0;
    unsigned char pendingMark_ = 0;
};

class SMoveMailsFromServer : public SCopyMailsFromServer {
public:
    bool Finish(bool ok) override;
};

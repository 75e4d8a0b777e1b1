// Copying and moving the selected mails of a local folder into a server
// folder: one APPEND (operation 755) per mail, the last selected first, each
// with the local marks as its flags. The move then deletes the local mails,
// without asking, once every one of them was appended.
#pragma once

#include "imap/SCopyMailsInServer.h"

#include <vector>

class SCopyMailsToServer : public SCopyMailsInServer {
public:
    bool Start(SQimPOperationHost& window, const SQimPFolderRef& source, const SQimPFolderRef& destination) override;
    bool Step() override;
    bool Finish(bool ok) override;

protected:
    std::vector<int> sent_;  // the local numbers, in the order they went
};

class SMoveMailsToServer : public SCopyMailsToServer {
public:
    bool Finish(bool ok) override;
};

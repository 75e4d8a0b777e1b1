// Names for new mail in one folder: each request gives the mail path of the
// next number after the folder's highest at the start (the receive session
// asks it for every message it writes into the inbox).
#pragma once

#include <string>

#include "store/SQimCacheFolder.h"

class SGetRecvFileName {
public:
    explicit SGetRecvFileName(const std::string& folderPath);

    // The path of the next number. A name that exists meanwhile (something
    // else stored there) is passed over, so a new mail never lands on an old
    // one. Empty when no number is left.
    std::string Next();
    // The number of the last path handed out (the folder's highest at the
    // start when none was).
    int Counter() const { return counter_; }
    SQimCacheFolder& Folder() { return folder_; }

private:
    SQimCacheFolder folder_;
    int counter_ = 0;
};

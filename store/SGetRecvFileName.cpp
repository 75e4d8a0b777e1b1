#include "store/SGetRecvFileName.h"

#include <climits>

#include "platform/FileSystem.h"

SGetRecvFileName::SGetRecvFileName(const std::string& folderPath) : folder_(folderPath) {
    counter_ = folder_.LastNumber();
}

std::string SGetRecvFileName::Next() {
    while (counter_ < INT_MAX) {
        ++counter_;
        std::string path = folder_.MailPath(counter_);
        if (!platform::PathExists(path.c_str())) return path;
    }
    return std::string();
}

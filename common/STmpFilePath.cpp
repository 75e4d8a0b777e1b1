#include "common/STmpFilePath.h"

#include <atomic>

#include "common/FilePath.h"
#include "platform/FileSystem.h"

namespace {

std::atomic<int> g_fallbackCounter{0};

constexpr int kFallbackTries = 100000;

}  // namespace

STmpFilePath::STmpFilePath(const char* dir) : dir_(dir ? dir : platform::TempDirectory()) {}

STmpFilePath::~STmpFilePath() { STmpFilePath::Delete(); }

const char* STmpFilePath::Path() {
    if (path_.empty()) MakePath();
    return path_.c_str();
}

bool STmpFilePath::Delete() {
    if (path_.empty() || !platform::PathExists(path_.c_str())) return true;
    return platform::RemoveFile(path_.c_str());
}

bool STmpFilePath::MakePath() {
    std::string made;
    if (platform::CreateTempFile(dir_.c_str(), "qim", made)) {
        path_ = made;
        return true;
    }
    // A name that is in use may be another program's file: never take it,
    // since this object deletes its file when it goes.
    for (int tries = 0; tries < kFallbackTries; ++tries) {
        MergeFilePath(made, dir_, "_qimtmp" + std::to_string(g_fallbackCounter++) + ".TMP");
        if (!platform::PathExists(made.c_str())) {
            path_ = made;
            return true;
        }
    }
    return false;
}

#include "imap/SQimTmpFolderPath.h"

#include <cstdlib>
#include <string>

#include "platform/FileSystem.h"
#include "platform/NativePath.h"

namespace {

// The dot hides the directory from listings; mkdtemp gives it mode 0700, so
// the headers cached below it are the user's alone.
constexpr char kNamePrefix[] = ".qimP";

}  // namespace

SQimTmpFolderPath::SQimTmpFolderPath(const char* dir) : SQimTmpFilePath(dir) {}

SQimTmpFolderPath::~SQimTmpFolderPath() { SQimTmpFolderPath::Delete(); }

bool SQimTmpFolderPath::MakePath() {
    std::string start = dir_;
    if (!start.empty() && start.back() != '/') start.push_back('/');
    start.append(kNamePrefix);
    std::string native;
    if (!platform::ToNativePath(start.c_str(), native)) return false;
    // One step, unlike making a file name and a directory in its place: no
    // one can put anything under that name in between.
    std::string pattern = native;
    pattern.append("XXXXXX");
    if (!mkdtemp(pattern.data())) return false;
    // Only the six characters mkdtemp chose (ASCII) follow what was asked.
    path_ = start;
    path_.append(pattern, native.size(), std::string::npos);
    return true;
}

bool SQimTmpFolderPath::Delete() {
    if (path_.empty()) return true;
    return platform::RemoveTree(path_.c_str());
}

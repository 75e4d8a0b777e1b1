#include "config/SQimTmpFilePath.h"

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/FilePath.h"

namespace {

std::string& CachedTempDir() {
    static std::string dir;
    return dir;
}

std::string ChooseFolder(const char* dir) {
    std::string temp = GetQimTempDir();
    if (!temp.empty()) return temp;
    if (dir) return dir;
    return GetQimHome();
}

}  // namespace

std::string GetQimTempDir() {
    std::string& cached = CachedTempDir();
    if (!cached.empty()) return cached;
    std::string value;
    SQimProfile(qimini::Qim).GetString(qimini::TempDir, value, kMaxPath, nullptr);
    if (!value.empty() && DoesDirectoryExist(value.c_str())) cached = value;
    return cached;
}

void ResetQimTempDirCache() { CachedTempDir().clear(); }

SQimTmpFilePath::SQimTmpFilePath(const char* dir) : STmpFilePath(ChooseFolder(dir).c_str()) {}

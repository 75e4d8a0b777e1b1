#include "imap/SIniFilesList.h"

#include <algorithm>
#include <cstdint>

#include "common/FilePath.h"
#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/SQimProfile.h"
#include "crypt/CryptCodes.h"
#include "imap/IniFilesPlace.h"
#include "imap/SIniFileNames.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "send/STemplates.h"

namespace {

std::string InHome(const std::string& name) {
    std::string path;
    MergeFilePath(path, GetQimHome(), name);
    return path;
}

bool Readable(const std::string& path) {
    std::uint64_t size = 0;
    return platform::FileSize(path.c_str(), &size);
}

}  // namespace

void FlushSettingsFiles() {
    platform::FlushPrivateProfile(GetQimIniPath().c_str());
    platform::FlushPrivateProfile(QimConfigIniPath().c_str());
    platform::FlushPrivateProfile(QimAliasIniPath().c_str());
}

bool SIniFilesList::AddFixed(const std::string& name, const std::string& path) {
    if (!platform::PathExists(path.c_str())) return true;
    if (!platform::IsRegularFile(path.c_str()) || !Readable(path)) {
        problem_ = SNotice::Program(qimstr::IniFileReadError, {name});
        return false;
    }
    files_.push_back({name, path});
    return true;
}

bool SIniFilesList::AddNamed(const std::string& name, const std::string& path, bool skipMissing) {
    for (const SIniFile& file : files_)
        if (file.name == name) return true;
    if (platform::IsRegularFile(path.c_str()) && Readable(path)) {
        files_.push_back({name, path});
        return true;
    }
    if (skipMissing) return true;
    problem_ = SNotice::Program(qimstr::FileNotFound, {name});
    return false;
}

void SIniFilesList::AddTemplates(bool skipMissing, bool& ok) {
    for (STemplateKind kind : {STemplateKind::Head, STemplateKind::Tail}) {
        for (const std::string& templateName : STemplateList(kind).ReadNames()) {
            std::string dir, name;
            const std::string path = TemplateFilePath(kind, templateName);
            SplitFilePath(path, dir, name);
            if (!AddNamed(name, path, skipMissing)) {
                ok = false;
                return;
            }
        }
    }
}

bool SIniFilesList::Make(bool skipMissing) {
    files_.clear();
    leftOut_.clear();
    problem_ = SNotice();
    FlushSettingsFiles();
    if (!AddFixed(qimini::ConfigIni, QimConfigIniPath()) || !AddFixed(qimini::AliasIni, QimAliasIniPath()))
        return false;
    bool ok = true;
    AddTemplates(skipMissing, ok);
    if (!ok) return false;

    std::vector<std::string> plain, inFolders;
    AliasListFiles(QimAliasIniPath(), plain, inFolders);
    for (const std::string& name : plain) {
        // A name a fetch would refuse stays out of the mail, told like one in a folder.
        if (!IsPlainFileName(name) || IsReservedHomeName(name) || IsTemplateFileName(name)) {
            inFolders.push_back(name);
            continue;
        }
        if (!AddNamed(name, InHome(name), skipMissing)) return false;
    }
    leftOut_ = inFolders;

    if ((place_ & qimimap::kIniWithKeyFile) && !AddFixed(qimcrypt::KeyFileName, InHome(qimcrypt::KeyFileName)))
        return false;
    if ((place_ & qimimap::kIniWithMainFile) && !AddFixed(qimini::QimIni, GetQimIniPath())) return false;
    return true;
}

#include "imap/SDecodeIniFilesMail.h"

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
#include "imap/SIniFilesList.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"

using platform::MessageIcon;

namespace {

std::string TargetOf(const std::string& name) {
    if (name == qimini::QimIni) return GetQimIniPath();
    std::string path;
    MergeFilePath(path, GetQimHome(), name);
    return path;
}

}  // namespace

SDecodeIniFilesMail::SDecodeIniFilesMail(const char* path, int place) : SDistMimeMail(nullptr, path), place_(place) {
    // Every part is looked at, so that every refused name can be told.
    SetContinueAfterFailure(true);
}

SDecodeIniFilesMail::~SDecodeIniFilesMail() { DropStaged(); }

bool SDecodeIniFilesMail::ActionPart(FILE* file, long start, long end, const SMimePart& part) {
    const std::string& name = part.name;
    // A part without a name is the mail's text, or nothing the settings know.
    if (name.empty()) return true;
    if (name == qimcrypt::KeyFileName && !(place_ & qimimap::kIniWithKeyFile)) {
        keyPassedOver_ = true;
        return true;
    }
    if (name == qimini::QimIni && !(place_ & qimimap::kIniWithMainFile)) {
        mainPassedOver_ = true;
        return true;
    }
    const bool twice = std::any_of(staged_.begin(), staged_.end(), [&](const Staged& s) { return s.name == name; });
    if (!IsPlainFileName(name) || twice || staged_.size() >= kMaxFiles) {
        refused_.push_back(name);
        return true;
    }
    Staged staged{name, TargetOf(name), std::string()};
    if (platform::IsDirectory(staged.target.c_str())) {
        refused_.push_back(name);
        return true;
    }
    std::string dir, base;
    SplitFilePath(staged.target, dir, base);
    if (!platform::CreateTempFile(dir.c_str(), ".qimini-", staged.temporary)) {
        Report(SNotice::Program(qimstr::IniFileNotWritten, {name}));
        return false;
    }
    staged_.push_back(staged);
    if (!CodecFor(part.encoding)->DecodeFilePart(file, start, end, staged.temporary.c_str(), false)) {
        Report(SNotice::Program(qimstr::IniFileNotWritten, {name}));
        return false;
    }
    return true;
}

bool SDecodeIniFilesMail::Accepted(const Staged& staged, const std::vector<std::string>& listFiles) const {
    const std::string& name = staged.name;
    if (name == qimini::ConfigIni || name == qimini::AliasIni || name == qimini::QimIni ||
        name == qimcrypt::KeyFileName || IsTemplateFileName(name))
        return true;
    // Anything else must be a list file of the address book that results.
    return !IsReservedHomeName(name) && std::find(listFiles.begin(), listFiles.end(), name) != listFiles.end();
}

bool SDecodeIniFilesMail::Restore() {
    DropStaged();
    refused_.clear();
    restored_.clear();
    keyPassedOver_ = mainPassedOver_ = false;
    FlushSettingsFiles();
    if (!AnalizeMimeMail()) return false;
    const bool decoded = TakeBinaryFile(false);

    // The list files are those of the ALIAS.INI the mail brings, else of the one here.
    const auto alias = std::find_if(staged_.begin(), staged_.end(),
                                    [](const Staged& s) { return s.name == qimini::AliasIni; });
    const std::string aliasIni = alias != staged_.end() ? alias->temporary : QimAliasIniPath();
    std::vector<std::string> listFiles, inFolders;
    if (decoded) AliasListFiles(aliasIni, listFiles, inFolders);
    if (alias != staged_.end()) platform::FlushPrivateProfile(aliasIni.c_str());
    for (const Staged& staged : staged_)
        if (!Accepted(staged, listFiles)) refused_.push_back(staged.name);

    if (!refused_.empty()) {
        for (const std::string& name : refused_)
            Report(SNotice::Program(qimstr::IniFileNameRefused, {name}, MessageIcon::Exclamation));
        Report(SNotice::Program(qimstr::IniFilesNothingWritten));
        DropStaged();
        return false;
    }
    if (!decoded) {
        Report(SNotice::Program(qimstr::IniFilesNothingWritten));
        DropStaged();
        return false;
    }
    if (staged_.empty()) return false;
    return Commit();
}

bool SDecodeIniFilesMail::Commit() {
    constexpr std::uint32_t kKept =
        platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM;
    bool ok = true;
    for (const Staged& staged : staged_) {
        const std::uint32_t before = platform::GetFileAttributes(staged.target.c_str());
        std::uint32_t attributes = before != platform::INVALID_FILE_ATTRIBUTES ? before & kKept : 0;
        // The key file is kept from being changed by accident.
        if (staged.name == qimcrypt::KeyFileName) attributes |= platform::FILE_ATTRIBUTE_READONLY;
        if (attributes) platform::SetFileAttributes(staged.temporary.c_str(), attributes);
        if (!platform::ReplaceFile(staged.temporary.c_str(), staged.target.c_str())) {
            Report(SNotice::Program(qimstr::IniFileNotWritten, {staged.name}));
            ok = false;
            break;
        }
        restored_.push_back(staged.name);
    }
    DropStaged();
    FlushSettingsFiles();
    return ok;
}

void SDecodeIniFilesMail::DropStaged() {
    for (const Staged& staged : staged_)
        if (platform::PathExists(staged.temporary.c_str())) platform::RemoveFile(staged.temporary.c_str());
    staged_.clear();
}

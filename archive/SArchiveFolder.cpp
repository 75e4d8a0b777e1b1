#include "archive/SArchiveFolder.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <strings.h>

#include "archive/SArchiveCheck.h"
#include "common/SCheckWindowsFileName.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DirectoryList.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "store/QimStoreCodes.h"
#include "store/SQimCacheFolder.h"

namespace {

constexpr char kArchiveExtension[] = ".LZH";

// The blank-separated tokens of the file list.
std::vector<std::string> Tokens(const std::string& list) {
    std::vector<std::string> tokens;
    std::string token;
    for (char c : list) {
        if (c == ' ') {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

enum class Sync { Done, NotOpened, Failed };

// The archive reaches stable storage before a mail goes, whatever the
// library did about it.
Sync SyncFile(const std::string& sjisPath) {
    std::string native;
    if (!platform::ToNativePath(sjisPath.c_str(), native)) return Sync::NotOpened;
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Sync::NotOpened;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok ? Sync::Done : Sync::Failed;
}

}  // namespace

std::string SArchiveFolder::FileList() {
    std::string list = "1* 2* 3* 4* 5* 6* 7* 8* 9* ";
    list.append(qimstore::kCacheFileName);
    return list;
}

std::string SArchiveFolder::DefaultName(const std::string& folder, const std::tm& date) {
    const std::string path = WithoutTrailingSlash(folder);
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%4d%02d%02d", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
    name.append(digits);
    return name;
}

bool SArchiveFolder::MakeArchivePath(const std::string& folder, const std::string& name, std::string& path) {
    // One name inside the folder: no way out of it, and nothing the command
    // line's quotes cannot hold.
    if (!SQimFolder::IsSingleName(name.c_str()) || SCheckWindowsFileName::DoesContainBadChars(name.c_str()) ||
        folder.find('"') != std::string::npos)
        return false;
    path = WithoutTrailingSlash(folder);
    path.append("/").append(name);
    const std::size_t ext = sizeof kArchiveExtension - 1;
    if (name.size() < ext || strcasecmp(name.c_str() + name.size() - ext, kArchiveExtension) != 0)
        path.append(kArchiveExtension);
    return true;
}

std::vector<std::string> SArchiveFolder::MatchingFiles(const std::string& folder, const std::string& fileList) {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(folder.c_str(), entries);
    std::vector<std::string> names;
    for (const std::string& token : Tokens(fileList))
        for (const platform::DirectoryEntry& e : entries)
            if (e.kind == platform::EntryKind::File && fnmatch(token.c_str(), e.name.c_str(), 0) == 0)
                names.push_back(e.name);
    return names;
}

std::string SArchiveFolder::CommandLine(const std::string& archivePath, const std::string& folder,
                                        const std::string& fileList) {
    std::string line = "a -+ -n ";
    line.append(" \"").append(archivePath).append("\" \"").append(WithoutTrailingSlash(folder));
    line.append("/\" ").append(fileList);
    return line;
}

SArchiveFolder::Result SArchiveFolder::Stop(unsigned id, std::vector<SNotice::Arg> args) {
    observer_.Notify(SNotice::Program(id, std::move(args)));
    return Result::Failed;
}

std::int32_t SArchiveFolder::CallBack(void* window, std::uint32_t, std::uint32_t state, UnlhaProgressInfo* info) {
    auto* self = static_cast<SArchiveFolder*>(window);
    if (!self || !info) return 1;
    info->archiveName[sizeof info->archiveName - 1] = '\0';
    info->fileName[sizeof info->fileName - 1] = '\0';
    switch (state) {
    case UNLHA_STATE_OPEN:
        self->observer_.BeginRun(info->archiveName, self->range_);
        self->runOpen_ = true;
        break;
    case UNLHA_STATE_INPROCESS:
        if (self->runOpen_) {
            char line[UNLHA_NAME_MAX + 64];
            std::snprintf(line, sizeof line, LoadQimString(qimstr::ArchiveMailNumber).c_str(), info->fileName);
            self->observer_.ShowFirstLine(line);
        }
        break;
    case UNLHA_STATE_BEGIN:
        self->observer_.StepRun();
        break;
    case UNLHA_STATE_CLOSE:
        self->runOpen_ = false;
        self->observer_.EndRun();
        break;
    default:
        break;
    }
    return 1;
}

bool SArchiveFolder::RunArchiver(const SUnlhaEntryPoints& library, const std::string& folder) {
    const unsigned version = library.getVersion() & 0xFFFF;
    if (version < qimarchive::kUnlhaMinimumVersion) {
        Stop(qimstr::UnlhaTooOld, {std::string(qimarchive::kUnlhaDllName), long(qimarchive::kUnlhaMinimumVersion), long(version)});
        return false;
    }
    if (library.getRunning() == 1) {
        Stop(qimstr::UnlhaBusy, {std::string(qimarchive::kUnlhaDllName)});
        return false;
    }
    void* window = this;
    if (!library.setOwnerWindowEx(window, &SArchiveFolder::CallBack)) {
        Stop(qimstr::UnlhaSetOwnerFailed);
        return false;
    }
    // From here on the owner is always given back, whatever fails.
    bool ok = true;
    if (!library.setBackGroundMode(0)) {
        Stop(qimstr::UnlhaBackGroundFailed);
        ok = false;
    }
    if (ok) {
        const std::string line = CommandLine(archivePath_, folder, FileList());
        char output[qimarchive::kUnlhaOutputSize] = {};
        if (library.unlha(window, line.c_str(), output, sizeof output) != 0) {
            Stop(qimstr::UnlhaRunFailed);
            ok = false;
        }
    }
    if (runOpen_) {
        runOpen_ = false;
        observer_.EndRun();
    }
    if (!library.killOwnerWindowEx(window)) {
        Stop(qimstr::UnlhaKillOwnerFailed);
        ok = false;
    }
    return ok;
}

void SArchiveFolder::DeleteArchived(const std::string& folder, const std::vector<std::string>& names) {
    observer_.ShowStatus(LoadQimString(qimstr::ArchiveDeleting));
    SQimFolder dir(folder);
    // The header cache goes first: a run that dies among the mails then
    // leaves no cache listing mails already deleted, and the folder's next
    // opening builds one from what is left.
    std::vector<std::string> order(names);
    std::stable_partition(order.begin(), order.end(),
                          [](const std::string& name) { return name == qimstore::kCacheFileName; });
    for (const std::string& name : order) {
        const std::string path = dir.ChildPath(name.c_str());
        platform::SetFileAttributes(path.c_str(), platform::FILE_ATTRIBUTE_NORMAL);
        if (platform::RemoveFile(path.c_str())) {
            ++deleted_;
        } else {
            const long error = errno;
            observer_.Notify(SNotice::Program(qimstr::ArchiveCannotDelete, {name, error}));
        }
    }
    observer_.ShowStatus(LoadQimString(qimstr::ArchiveDone));
}

SArchiveFolder::Result SArchiveFolder::Run(const std::string& folder) {
    archivePath_.clear();
    packed_.clear();
    deleted_ = 0;
    const SUnlhaEntryPoints* library = library_ ? library_ : qimarchive::LoadUnlha32();
    if (!library) return Stop(qimstr::UnlhaMissing);
    if (!library->CanRun()) return Stop(qimstr::UnlhaEntryMissing);

    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    std::string name = DefaultName(folder, today);
    if (!observer_.AskArchiveName(name)) return Result::Cancelled;
    if (!MakeArchivePath(folder, name, archivePath_)) {
        observer_.Notify(SNotice::Program(qimstr::ArchiveBadName, {name}));
        return Stop(qimstr::Aborting);
    }
    if (platform::PathExists(archivePath_.c_str())) return Stop(qimstr::ArchiveExists);

    packed_ = MatchingFiles(folder, FileList());
    range_ = static_cast<int>(packed_.size()) + 1;
    if (!RunArchiver(*library, folder)) return Result::Failed;
    // Read-only, so that nobody rewrites it by accident; archive, as a new file.
    platform::SetFileAttributes(archivePath_.c_str(), platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_ARCHIVE);

    if (!library->CanWalk()) {
        observer_.Notify(SNotice::Program(qimstr::UnlhaEntryMissing));
        return Result::KeptMails;
    }
    std::vector<std::string> verified;
    SNotice failure;
    switch (SyncFile(archivePath_)) {
    case Sync::Done:
        break;
    case Sync::NotOpened:
        observer_.Notify(SNotice::Program(qimstr::UnlhaOpenFailed));
        return Result::KeptMails;
    case Sync::Failed:
        observer_.Notify(SNotice::Program(qimstr::ArchiveNotVerified, {archivePath_, LoadQimString(qimstr::ArchiveUnreadable)}));
        return Result::KeptMails;
    }
    SArchiveCheck check(*library, this);
    if (!check.Verify(archivePath_, folder, packed_, verified, failure)) {
        observer_.Notify(failure);
        return Result::KeptMails;
    }
    DeleteArchived(folder, verified);
    // The cache went into the archive with the mails: it is made anew from
    // whatever the folder holds now.
    SQimCacheFolder cache;
    cache.SetFolder(folder);
    cache.RebuildCache();
    return Result::Archived;
}

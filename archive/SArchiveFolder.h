// qimcmd::ArchiveFolder: every mail of a local folder, with its header cache,
// packed into one LHA archive inside the folder by the outside archiver
// library, then deleted from the folder once the archive has been read back
// and each file found in it intact; then the cache is rebuilt. What the user
// is told and asked goes through the observer.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "archive/SArchiveObserver.h"
#include "archive/SUnlha32.h"

class SArchiveFolder {
public:
    enum class Result {
        Archived,   // the archive is written and what it holds is deleted
        Cancelled,  // the user cancelled the name
        Failed,     // stopped by a check or a failed run: no archive, nothing deleted
        KeptMails,  // the archive is there but did not check: nothing deleted
    };

    // `library` null: libunlha32.so is loaded when the command runs.
    SArchiveFolder(SArchiveObserver& observer, const SUnlhaEntryPoints* library = nullptr)
        : observer_(observer), library_(library) {}

    Result Run(const std::string& folder);

    const std::string& ArchivePath() const { return archivePath_; }
    // Files packed (by the count before the run) and files deleted after it.
    int Packed() const { return static_cast<int>(packed_.size()); }
    int Deleted() const { return deleted_; }

    // "1* 2* ... 9* HCACHE.TXT": every mail file and the cache.
    static std::string FileList();
    // The folder's last component and the date as "%4d%02d%02d".
    static std::string DefaultName(const std::string& folder, const std::tm& date);
    // The folder joined with `name`, ".LZH" added unless the name ends so
    // (any case). False for a name that is not one plain file name.
    static bool MakeArchivePath(const std::string& folder, const std::string& name, std::string& path);
    // Names of the regular files of `folder` that match the list's tokens,
    // token by token (so the count of the progress bar is their number).
    static std::vector<std::string> MatchingFiles(const std::string& folder, const std::string& fileList);
    static std::string CommandLine(const std::string& archivePath, const std::string& folder, const std::string& fileList);

    // The library's progress call-back; `window` is the running command.
    static std::int32_t CallBack(void* window, std::uint32_t message, std::uint32_t state, UnlhaProgressInfo* info);

private:
    Result Stop(unsigned id, std::vector<SNotice::Arg> args = {});
    bool RunArchiver(const SUnlhaEntryPoints& library, const std::string& folder);
    void DeleteArchived(const std::string& folder, const std::vector<std::string>& names);

    SArchiveObserver& observer_;
    const SUnlhaEntryPoints* library_;
    std::string archivePath_;
    std::vector<std::string> packed_;
    int range_ = 0;
    bool runOpen_ = false;
    int deleted_ = 0;
};

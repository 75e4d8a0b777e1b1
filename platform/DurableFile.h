// A new file that appears under its name only once all of it is on stable
// storage: written under a temporary name in the target folder, flushed with
// fsync, renamed to its name (never over an existing file), and the folder
// flushed too. Until then, or when it is dropped, nothing but the temporary
// name exists, so a crash or an interrupted write never leaves part of a file
// under the final name.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class DurableFile {
public:
    DurableFile() = default;
    ~DurableFile();  // drops an uncommitted file
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    // A temporary file ".<prefix>XXXXXX.tmp" in `sjisDir`, with the mode a new
    // file gets (0666 less the umask). False with Error() set.
    bool Create(const char* sjisDir, const char* prefix);
    bool IsOpen() const { return fd_ >= 0; }
    // Buffered; a failure of the disk shows here or at Commit (Error()).
    bool Write(const char* data, std::size_t length);
    // Everything to disk, then the file takes `sjisPath` (in the same folder;
    // an existing name is a failure, errno EEXIST). False with Error() set and
    // the temporary file removed.
    bool Commit(const char* sjisPath);
    // Removes the temporary file.
    void Discard();
    // errno of the last failure.
    int Error() const { return error_; }
    const std::string& TempPath() const { return tempNative_; }

    // Removes the temporary files of `prefix` that an earlier process left in
    // `sjisDir` when it died before Commit; returns how many went. Only while
    // no other writer of that prefix works in the folder.
    static int RemoveLeftovers(const char* sjisDir, const char* prefix);

    // Whether Commit waits for stable storage (true). Turned off only to
    // measure what that costs.
    static void SetSyncEnabled(bool enabled);

private:
    bool Flush();

    int fd_ = -1;
    std::string tempNative_;
    std::string buffer_;
    int error_ = 0;
};

// fsync of the folder that holds `nativePath`, so a new or renamed entry in
// it survives a crash. False when the folder cannot be flushed.
bool SyncFolderOfNative(const std::string& nativePath);

}  // namespace platform

#include "platform/DurableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/DirectoryList.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

namespace platform {
namespace {

bool g_syncEnabled = true;
constexpr std::size_t kBufferSize = 64 * 1024;

bool WriteAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

// Renames without ever replacing; where the file system cannot say so in one
// call, link() claims the name atomically instead.
bool ClaimName(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

}  // namespace

void DurableFile::SetSyncEnabled(bool enabled) { g_syncEnabled = enabled; }

bool SyncFolderOfNative(const std::string& nativePath) {
    if (!g_syncEnabled) return true;
    const std::size_t slash = nativePath.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : nativePath.substr(0, slash));
    const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
    const bool ok = fsync(dfd) == 0;
    close(dfd);
    return ok;
}

DurableFile::~DurableFile() { Discard(); }

int DurableFile::RemoveLeftovers(const char* sjisDir, const char* prefix) {
    std::vector<DirectoryEntry> entries;
    ListDirectory(sjisDir, entries);
    // The names Create makes: "." + prefix + six characters + ".tmp".
    const std::string head = std::string(".") + prefix;
    const std::size_t length = head.size() + 6 + 4;
    int removed = 0;
    for (const DirectoryEntry& e : entries) {
        if (e.kind != EntryKind::File || e.symlink || e.name.size() != length) continue;
        if (e.name.compare(0, head.size(), head) != 0 || e.name.compare(length - 4, 4, ".tmp") != 0) continue;
        const std::string path = std::string(sjisDir) + "/" + e.name;
        if (RemoveFile(path.c_str())) ++removed;
    }
    return removed;
}

bool DurableFile::Create(const char* sjisDir, const char* prefix) {
    Discard();
    std::string dir;
    if (!ToNativePath(sjisDir, dir)) {
        error_ = EINVAL;
        return false;
    }
    std::string name = (dir.empty() ? std::string(".") : dir) + "/." + prefix + "XXXXXX.tmp";
    const int fd = mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0) {
        error_ = errno;
        close(fd);
        unlink(name.c_str());
        return false;
    }
    fd_ = fd;
    tempNative_ = name;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool DurableFile::Flush() {
    if (buffer_.empty()) return true;
    const bool ok = WriteAll(fd_, buffer_.data(), buffer_.size());
    if (!ok) error_ = errno;
    buffer_.clear();
    return ok;
}

bool DurableFile::Write(const char* data, std::size_t length) {
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    if (buffer_.size() + length > kBufferSize && !Flush()) return false;
    if (length >= kBufferSize) {
        if (WriteAll(fd_, data, length)) return true;
        error_ = errno;
        return false;
    }
    buffer_.append(data, length);
    return true;
}

bool DurableFile::Commit(const char* sjisPath) {
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    std::string target;
    bool ok = ToNativePath(sjisPath, target);
    if (!ok) error_ = EINVAL;
    ok = ok && Flush();
    if (ok && g_syncEnabled && fsync(fd_) != 0) {
        error_ = errno;
        ok = false;
    }
    if (close(fd_) != 0 && ok) {
        error_ = errno;
        ok = false;
    }
    fd_ = -1;
    if (ok && !ClaimName(tempNative_, target)) {
        error_ = errno;
        ok = false;
    }
    if (!ok) unlink(tempNative_.c_str());
    tempNative_.clear();
    if (ok && !SyncFolderOfNative(target)) {
        error_ = errno;
        unlink(target.c_str());
        ok = false;
    }
    return ok;
}

void DurableFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!tempNative_.empty()) unlink(tempNative_.c_str());
    tempNative_.clear();
    buffer_.clear();
}

}  // namespace platform

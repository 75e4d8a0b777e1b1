#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/NativePath.h"

namespace platform {
namespace {

// Deletes what the directory `fd` holds; `fd` is closed.
bool RemoveContents(int fd) {
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    bool ok = true;
    while (ok) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) {
            ok = errno == 0;
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        struct stat st;
        if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
        } else if (S_ISDIR(st.st_mode)) {
            const int child = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            ok = child >= 0 && RemoveContents(child) && unlinkat(dirfd(dir), name, AT_REMOVEDIR) == 0;
        } else {
            ok = unlinkat(dirfd(dir), name, 0) == 0;
        }
    }
    closedir(dir);
    return ok;
}

bool CopyFileExclusive(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
    }
    // The copy must be on disk before the source goes.
    ok = ok && fchmod(out, st.st_mode & 07777) == 0 && fsync(out) == 0;
    ok = (close(out) == 0) && ok;
    close(in);
    if (!ok) unlink(to.c_str());
    return ok;
}

// rename() that fails instead of replacing, for file systems without
// RENAME_NOREPLACE: a hard link claims the name atomically.
bool RenameNoReplaceFallback(const std::string& from, const std::string& to) {
    struct stat st;
    if (lstat(from.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        if (link(from.c_str(), to.c_str()) != 0) return false;
        if (unlink(from.c_str()) != 0) {
            unlink(to.c_str());
            return false;
        }
        return true;
    }
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

// The folder part of a native path ("." when there is none).
std::string NativeFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Claims `to` for the finished file `from` without replacing anything.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) return RenameNoReplaceFallback(from, to);
    return false;
}

}  // namespace

bool PathExists(const char* sjisPath) {
    std::string native;
    struct stat st;
    return ToNativePath(sjisPath, native) && lstat(native.c_str(), &st) == 0;
}

bool IsDirectory(const char* sjisPath) {
    std::string native;
    struct stat st;
    return ToNativePath(sjisPath, native) && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const char* sjisPath) {
    std::string native;
    struct stat st;
    return ToNativePath(sjisPath, native) && stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileSize(const char* sjisPath, std::uint64_t* size) {
    std::string native;
    if (!ToNativePath(sjisPath, native)) return false;
    const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    if (ok) *size = static_cast<std::uint64_t>(st.st_size);
    return ok;
}

bool RemoveFile(const char* sjisPath) {
    std::string native;
    return ToNativePath(sjisPath, native) && unlink(native.c_str()) == 0;
}

bool CreateDirectory(const char* sjisPath) {
    std::string native;
    return ToNativePath(sjisPath, native) && mkdir(native.c_str(), 0777) == 0;
}

bool RemoveDirectory(const char* sjisPath) {
    std::string native;
    return ToNativePath(sjisPath, native) && rmdir(native.c_str()) == 0;
}

bool RemoveTree(const char* sjisPath) {
    std::string native;
    if (!ToNativePath(sjisPath, native)) return false;
    const int fd = open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    return RemoveContents(fd) && rmdir(native.c_str()) == 0;
}

bool MoveFile(const char* sjisFrom, const char* sjisTo) {
    std::string from, to;
    if (!ToNativePath(sjisFrom, from) || !ToNativePath(sjisTo, to)) return false;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) return RenameNoReplaceFallback(from, to);
    if (errno != EXDEV) return false;
    struct stat st;
    if (lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (!CopyFileExclusive(from, to)) return false;
    if (unlink(from.c_str()) != 0) {
        unlink(to.c_str());
        return false;
    }
    return true;
}

bool CopyFileNoReplace(const char* sjisFrom, const char* sjisTo) {
    std::string from, to;
    if (!ToNativePath(sjisFrom, from) || !ToNativePath(sjisTo, to)) return false;
    struct stat st;
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    std::string temp = NativeFolderOf(to) + "/.qimcopyXXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    close(fd);
    // mkstemp made the name; the copy takes it over exclusively.
    unlink(temp.c_str());
    if (!CopyFileExclusive(from, temp)) return false;
    if (!RenameNoReplace(temp, to)) {
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
        return false;
    }
    return true;
}

bool ReplaceFile(const char* sjisFrom, const char* sjisTo) {
    std::string from, to;
    return ToNativePath(sjisFrom, from) && ToNativePath(sjisTo, to) && rename(from.c_str(), to.c_str()) == 0;
}

bool CreateTempFile(const char* sjisDir, const char* prefix, std::string& sjisPath) {
    std::string start = sjisDir ? sjisDir : "";
    if (!start.empty() && start.back() != '/') start += '/';
    start += prefix ? prefix : "";
    std::string nativeStart;
    if (!ToNativePath(start.c_str(), nativeStart)) return false;
    std::string tmpl = nativeStart + "XXXXXX.tmp";
    const int fd = mkstemps(tmpl.data(), 4);
    if (fd < 0) return false;
    close(fd);
    // Only the six characters mkstemps chose (ASCII) follow what was asked.
    sjisPath = start + tmpl.substr(nativeStart.size());
    return true;
}

std::string TempDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::string sjis;
    if (env && *env && FromNativePath(env, sjis)) return sjis;
    return "/tmp";
}

}  // namespace platform

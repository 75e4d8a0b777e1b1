#include "platform/DirectoryList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/NativePath.h"

namespace platform {
namespace {

EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Directory;
    return EntryKind::Other;
}

bool List(const char* sjisDir, std::vector<DirectoryEntry>& entries, bool foldersOnly) {
    entries.clear();
    std::string native;
    if (!ToNativePath(sjisDir, native)) {
        errno = EINVAL;
        return false;
    }
    DIR* dir = opendir(native.c_str());
    if (!dir) return false;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* e = readdir(dir);
        if (!e) {
            error = errno;
            break;
        }
        const char* name = e->d_name;
        if (foldersOnly && e->d_type == DT_REG) continue;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        DirectoryEntry entry;
        if (!FromNativePath(name, entry.name)) continue;
        // The kind from the listing itself where the file system gives it;
        // a link or an unknown kind costs one stat.
        switch (e->d_type) {
        case DT_REG:
            entry.kind = EntryKind::File;
            break;
        case DT_DIR:
            entry.kind = EntryKind::Directory;
            break;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.symlink = S_ISLNK(st.st_mode);
                if (entry.symlink && fstatat(dirfd(dir), name, &st, 0) != 0) st.st_mode = 0;
                entry.kind = KindOf(st.st_mode);
            }
            break;
        }
        default:
            break;
        }
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    errno = error;
    return error == 0;
}

}  // namespace

bool ListDirectory(const char* sjisDir, std::vector<DirectoryEntry>& entries) { return List(sjisDir, entries, false); }

bool ListSubfolders(const char* sjisDir, std::vector<DirectoryEntry>& entries) {
    const bool ok = List(sjisDir, entries, true);
    const int error = errno;
    std::erase_if(entries, [](const DirectoryEntry& e) { return e.kind != EntryKind::Directory; });
    errno = error;
    return ok;
}

}  // namespace platform

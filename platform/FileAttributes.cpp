#include "platform/FileAttributes.h"

#include <sys/stat.h>

#include <string>

#include "platform/NativePath.h"

namespace platform {

std::uint32_t AttributesFromMode(unsigned mode) {
    if (S_ISDIR(mode)) return FILE_ATTRIBUTE_DIRECTORY;
    std::uint32_t a = 0;
    if (!(mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
    if (mode & S_IXUSR) a |= FILE_ATTRIBUTE_ARCHIVE;
    if (mode & S_IXGRP) a |= FILE_ATTRIBUTE_SYSTEM;
    if (mode & S_IXOTH) a |= FILE_ATTRIBUTE_HIDDEN;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

std::uint32_t GetFileAttributes(const char* sjisPath) {
    std::string native;
    struct stat st;
    if (!ToNativePath(sjisPath, native) || stat(native.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    return AttributesFromMode(st.st_mode);
}

bool SetFileAttributes(const char* sjisPath, std::uint32_t attributes) {
    std::string native;
    struct stat st;
    if (!ToNativePath(sjisPath, native) || stat(native.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    mode_t mode = st.st_mode & 07777;
    auto apply = [&mode](bool on, mode_t bit) { mode = on ? (mode | bit) : (mode & ~bit); };
    apply(!(attributes & FILE_ATTRIBUTE_READONLY), S_IWUSR);
    apply(attributes & FILE_ATTRIBUTE_ARCHIVE, S_IXUSR);
    apply(attributes & FILE_ATTRIBUTE_SYSTEM, S_IXGRP);
    apply(attributes & FILE_ATTRIBUTE_HIDDEN, S_IXOTH);
    return chmod(native.c_str(), mode) == 0;
}

}  // namespace platform

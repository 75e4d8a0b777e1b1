#include "platform/FileDescriptors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/NativePath.h"

namespace platform {

int OpenFolderDescriptor(const char* sjisDir) {
    std::string native;
    if (!ToNativePath(sjisDir, native)) {
        errno = EINVAL;
        return -1;
    }
    return open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int OpenReadOnlyAt(int folderFd, const char* asciiName) {
    return openat(folderFd, asciiName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

int OpenReadOnly(const char* sjisPath) {
    std::string native;
    if (!ToNativePath(sjisPath, native)) {
        errno = EINVAL;
        return -1;
    }
    return open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

bool IsRegularFileAt(int folderFd, const char* asciiName) {
    struct stat st;
    return fstatat(folderFd, asciiName, &st, 0) == 0 && S_ISREG(st.st_mode);
}

bool IsRegularDescriptor(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

void CloseDescriptor(int fd) {
    if (fd >= 0) close(fd);
}

}  // namespace platform

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/NativePath.h"

namespace platform {

namespace {

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable.
void SyncFolderOf(const std::string& native) {
    const std::size_t slash = native.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
    const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    fsync(dfd);
    close(dfd);
}

}  // namespace

bool ReplaceFileContents(const char* sjisPath, const std::string& data, unsigned mode) {
    std::string native;
    if (!sjisPath || !ToNativePath(sjisPath, native) || native.empty()) return false;
    std::string tmp = native + ".XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fchmod(fd, static_cast<mode_t>(mode & 07777)) == 0 && WriteAll(fd, data) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(tmp.c_str(), native.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    SyncFolderOf(native);
    return true;
}

}  // namespace platform

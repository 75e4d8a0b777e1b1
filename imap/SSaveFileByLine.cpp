#include "imap/SSaveFileByLine.h"

#include <cerrno>

#include "platform/TextFile.h"

bool SSaveFileByLine::Open(const std::string& path) {
    Close();
    error_ = 0;
    errno = 0;
    file_ = platform::OpenFile(path.c_str(), "w+b");
    if (!file_) error_ = errno ? errno : EIO;
    return file_ != nullptr;
}

bool SSaveFileByLine::Write(const char* data, int length) {
    if (!file_) return false;
    if (length <= 0) return true;
    if (std::fwrite(data, 1, static_cast<std::size_t>(length), file_) == static_cast<std::size_t>(length)) return true;
    error_ = errno ? errno : EIO;
    return false;
}

bool SSaveFileByLine::Close() {
    if (!file_) return true;
    const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    if (!ok) error_ = errno ? errno : EIO;
    const bool closed = std::fclose(file_) == 0;
    if (!closed && ok) error_ = errno ? errno : EIO;
    file_ = nullptr;
    return ok && closed;
}

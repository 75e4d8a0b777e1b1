#include "common/SMimeOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/NativePath.h"
#include "platform/TextFile.h"

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

SMimeOutputFile::~SMimeOutputFile() { Close(false); }

bool SMimeOutputFile::Prepare(const char* sjisPath, int inputHandle) {
    Close(false);
    if (!sjisPath || !platform::ToNativePath(sjisPath, native_)) return false;
    // Truncating or appending to the file being read would destroy the input or
    // never reach its end.
    struct stat in, out;
    if (inputHandle != -1 && fstat(inputHandle, &in) == 0 && stat(native_.c_str(), &out) == 0 && SameFile(in, out))
        return false;
    return true;
}

void SMimeOutputFile::RecordLength(int handle) {
    struct stat st;
    regular_ = fstat(handle, &st) == 0 && S_ISREG(st.st_mode);
    lengthAtOpen_ = regular_ ? st.st_size : 0;
}

bool SMimeOutputFile::OpenHandle(const char* sjisPath, bool append, int inputHandle) {
    if (!Prepare(sjisPath, inputHandle)) return false;
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    handle_ = open(native_.c_str(), flags, 0666);
    if (handle_ == -1) return false;
    append_ = append;
    RecordLength(handle_);
    return true;
}

bool SMimeOutputFile::OpenStream(const char* sjisPath, bool append, int inputHandle) {
    if (!Prepare(sjisPath, inputHandle)) return false;
    stream_ = platform::OpenFile(sjisPath, append ? "a" : "w");
    if (!stream_) return false;
    std::setvbuf(stream_, nullptr, _IOFBF, 1 << 16);  // encoded files run to many megabytes
    append_ = append;
    RecordLength(fileno(stream_));
    return true;
}

bool SMimeOutputFile::Close(bool keep) {
    if (handle_ == -1 && !stream_) return false;
    bool closed = stream_ ? std::fclose(stream_) == 0 : close(handle_) == 0;
    handle_ = -1;
    stream_ = nullptr;
    if (keep && closed) return true;
    // Only a regular file is taken back: a device or a pipe named as output is left alone.
    if (regular_ && append_) {
        [[maybe_unused]] int cut = truncate(native_.c_str(), lengthAtOpen_);
    } else if (regular_) {
        unlink(native_.c_str());
    }
    return false;
}

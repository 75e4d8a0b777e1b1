#include "store/SMailHeaderReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileDescriptors.h"

namespace {

// A small mail is read whole by the first read, a large one's header mostly.
constexpr std::size_t kFirstRead = 16 * 1024;

}  // namespace

SMailHeaderReader::SMailHeaderReader() : buffer_(kFirstRead + 1) {}

SMailHeaderReader::~SMailHeaderReader() { Close(); }

void SMailHeaderReader::Open(int fd) {
    Close();
    fd_ = fd;
    begin_ = end_ = patched_ = 0;
    ended_ = skipping_ = unreadable_ = gotBytes_ = false;
}

void SMailHeaderReader::Close() {
    platform::CloseDescriptor(fd_);
    fd_ = -1;
}

bool SMailHeaderReader::Fill() {
    if (ended_ || fd_ < 0) return false;
    // What is held moves to the front; the buffer grows only for a line
    // longer than it, and never much beyond the longest line kept.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - 1 - end_ < kFirstRead / 2) buffer_.resize(buffer_.size() * 2);
    for (;;) {
        const ssize_t n = read(fd_, buffer_.data() + end_, buffer_.size() - 1 - end_);
        if (n > 0) {
            end_ += static_cast<std::size_t>(n);
            gotBytes_ = true;
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        unreadable_ = n < 0 && !gotBytes_;
        ended_ = true;
        return false;
    }
}

const char* SMailHeaderReader::NextLine(std::size_t& length) {
    if (patched_) {
        buffer_[patched_] = patchedByte_;
        patched_ = 0;
    }
    for (;;) {
        char* start = buffer_.data() + begin_;
        const std::size_t held = end_ - begin_;
        char* lf = static_cast<char*>(std::memchr(start, '\n', held));
        if (skipping_) {
            // The end of a line whose start was handed out already.
            if (lf) {
                begin_ += static_cast<std::size_t>(lf - start) + 1;
                skipping_ = false;
                continue;
            }
            begin_ = end_;
            if (!Fill()) return nullptr;
            continue;
        }
        std::size_t size = 0;  // the line as handed out
        if (lf) {
            size = static_cast<std::size_t>(lf - start) + 1;
            begin_ += size;
            // CR LF reads as LF.
            if (size >= 2 && lf[-1] == '\r') {
                lf[-1] = '\n';
                --size;
            }
            if (size > kMaxLine) size = kMaxLine;
        } else if (held > kMaxLine) {
            // Too long to be held whole: its start, and the rest passed over.
            size = kMaxLine;
            begin_ = end_;
            skipping_ = true;
        } else if (!ended_) {
            Fill();  // on failure the end is marked: the held bytes are the last line
            continue;
        } else if (held > 0) {
            size = held;  // the last line, without a line end
            begin_ = end_;
        } else {
            return nullptr;
        }
        // The NUL goes after the line; the byte there (if it is not past the
        // bytes held) comes back with the next call.
        char* buffer = buffer_.data();
        const std::size_t at = static_cast<std::size_t>(start - buffer) + size;
        if (at < end_) {
            patched_ = at;
            patchedByte_ = buffer[at];
        }
        buffer[at] = '\0';
        length = size;
        return start;
    }
}

#include "common/SMime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/SMimeOutputFile.h"
#include "platform/NativePath.h"

SMime::LineReader::LineReader(FILE* in, long endOffset) : endOffset_(endOffset) { text_.Attach(in, false); }

int SMime::LineReader::Next(char* buffer) {
    if (endOffset_ != -1 && text_.Tell() >= endOffset_) {
        buffer[0] = '\0';
        return 0;
    }
    return text_.ReadLine(buffer, kLineBufferSize);
}

SMime::HandleWriter::HandleWriter(int handle) : handle_(handle), buffer_(new unsigned char[kCapacity]) {}

unsigned char* SMime::HandleWriter::Room(std::size_t count) {
    if (used_ + count > kCapacity) Flush();
    return buffer_.get() + used_;
}

void SMime::HandleWriter::Write(const void* data, std::size_t count) {
    std::memcpy(Room(count), data, count);
    Commit(count);
}

bool SMime::HandleWriter::Flush() {
    const unsigned char* p = buffer_.get();
    std::size_t left = failed_ ? 0 : used_;
    while (left > 0) {
        ssize_t n = write(handle_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    used_ = 0;
    return !failed_;
}

long SMime::ReadFull(int handle, unsigned char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = read(handle, buffer + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

namespace {

bool IsDirectory(int handle) {
    struct stat st;
    return fstat(handle, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool SMime::Finish(SMimeOutputFile& out, bool ok) {
    // Undecodable base64 lines do not make the output worthless: everything that
    // could be decoded stays, and the caller learns of the rest from the error code.
    bool keep = ok || error_ == kMimeErrorData;
    if (!out.Close(keep) && keep) {
        error_ = kMimeErrorWrite;
        return false;
    }
    return ok;
}

bool SMime::DecodeFile(const char* inPath, const char* outPath, bool append) {
    error_ = kMimeOk;
    FILE* in = inPath ? platform::OpenFile(inPath, "r") : nullptr;
    if (in && IsDirectory(fileno(in))) {
        std::fclose(in);
        in = nullptr;
    }
    if (!in) {
        error_ = kMimeErrorOpenInput;
        return false;
    }
    SMimeOutputFile out;
    if (!out.OpenHandle(outPath, append, fileno(in))) {
        std::fclose(in);
        error_ = kMimeErrorOpenOutput;
        return false;
    }
    bool ok = DecodeFileBody(in, out.Handle(), -1, false);
    std::fclose(in);
    return Finish(out, ok);
}

bool SMime::EncodeFile(const char* inPath, const char* outPath, bool append) {
    error_ = kMimeOk;
    std::string native;
    int in = inPath && platform::ToNativePath(inPath, native) ? open(native.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (in != -1 && IsDirectory(in)) {
        close(in);
        in = -1;
    }
    if (in == -1) {
        error_ = kMimeErrorOpenInput;
        return false;
    }
    SMimeOutputFile out;
    if (!out.OpenStream(outPath, append, in)) {
        close(in);
        error_ = kMimeErrorOpenOutput;
        return false;
    }
    bool ok = EncodeFileBody(in, out.Stream());
    close(in);
    return Finish(out, ok);
}

bool SMime::DecodeFilePart(FILE* in, long start, long end, const char* outPath, bool append) {
    error_ = kMimeOk;
    // The range is found before the output is touched.
    if (!in || start < 0 || std::fseek(in, start, SEEK_SET) != 0) {
        error_ = kMimeErrorRead;
        return false;
    }
    SMimeOutputFile out;
    if (!out.OpenHandle(outPath, append, fileno(in))) {
        error_ = kMimeErrorOpenOutput;
        return false;
    }
    bool ok = DecodeFileBody(in, out.Handle(), end, true);
    return Finish(out, ok);
}

bool SMime::BeginDecode(FILE* in) {
    SetError(in ? kMimeOk : kMimeErrorRead);
    return in != nullptr;
}

bool SMime::EndDecode(HandleWriter& out, const LineReader& reader, bool ok) {
    if (!out.Flush()) {
        SetError(kMimeErrorWrite);
        return false;
    }
    if (reader.Failed()) {
        SetError(kMimeErrorRead);
        return false;
    }
    return ok;
}

bool SMime::BeginEncode(FILE* out, platform::TextFile& stream) {
    SetError(out ? kMimeOk : kMimeErrorWrite);
    if (out) stream.Attach(out, false);
    return out != nullptr;
}

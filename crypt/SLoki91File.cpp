#include "crypt/SLoki91File.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "crypt/SCryptProgress.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

// Reads until `size` bytes are in or the input ends; -1 on a read error.
long ReadChunk(FILE* fp, unsigned char* buffer, std::size_t size) {
    const std::size_t n = std::fread(buffer, 1, size, fp);
    if (n < size && std::ferror(fp)) return -1;
    return static_cast<long>(n);
}

}  // namespace

// The open input and output of one file work; the output is removed (or cut
// back to its former length when appending) unless the work is kept.
struct SLoki91File::Files {
    FILE* in = nullptr;
    FILE* out = nullptr;
    std::string outPath;
    long keepLength = -1;  // -1: the output was created or truncated
    bool keep = false;

    bool Open(const char* inPath, const char* outPathArg, bool append) {
        in = platform::OpenFile(inPath, "r");
        if (!in) return false;
        outPath = outPathArg;
        out = platform::OpenFile(outPathArg, append ? "a" : "w");
        if (!out) return false;
        if (append) {
            if (std::fseek(out, 0, SEEK_END) != 0) return false;
            keepLength = std::ftell(out);
        }
        return true;
    }
    bool Write(const unsigned char* data, std::size_t length) {
        return length == 0 || std::fwrite(data, 1, length, out) == length;
    }
    ~Files() {
        if (in) std::fclose(in);
        if (!out) return;
        bool ok = std::fclose(out) == 0 && keep;
        if (ok) return;
        if (keepLength < 0) {
            platform::RemoveFile(outPath.c_str());
        } else if (FILE* again = platform::OpenFile(outPath.c_str(), "r+")) {
            if (ftruncate(fileno(again), keepLength) != 0) { /* nothing more to undo */ }
            std::fclose(again);
        }
    }
};

SLoki91File::SLoki91File()
    : in_(new unsigned char[qimcrypt::FileChunk + kLokiBlockSize]),
      next_(new unsigned char[qimcrypt::FileChunk + kLokiBlockSize]) {}

SLoki91File::SLoki91File(const unsigned char key[kLokiKeySize]) : SLoki91File() { SetKey(key); }

void SLoki91File::SetProgress(SCryptProgress* progress, std::string caption) {
    progress_ = progress;
    caption_ = std::move(caption);
}

void SLoki91File::BeginProgress(const char* inPath) {
    if (!progress_) return;
    std::uint64_t size = 0;
    platform::FileSize(inPath, &size);
    const long steps = static_cast<long>(size / qimcrypt::FileChunk + 1);
    progress_->Begin(caption_, steps);
}

void SLoki91File::EndProgress() {
    if (progress_) progress_->End();
}

bool SLoki91File::EncryptFile(const char* inPath, const char* outPath) {
    Files files;
    if (!files.Open(inPath, outPath, false)) return false;
    BeginProgress(inPath);
    bool ok = true;
    for (;;) {
        const long n = ReadChunk(files.in, in_.get(), qimcrypt::FileChunk);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        const std::size_t length = EncryptBuffer(in_.get(), static_cast<std::size_t>(n));
        if (!files.Write(in_.get(), length)) {
            ok = false;
            break;
        }
        if (progress_) progress_->Step();
        if (n < qimcrypt::FileChunk) break;
    }
    EndProgress();
    files.keep = ok;
    return ok;
}

bool SLoki91File::DecryptFile(const char* inPath, const char* outPath, bool append, std::uint64_t* written) {
    if (written) *written = 0;
    Files files;
    if (!files.Open(inPath, outPath, append)) return false;
    BeginProgress(inPath);
    std::uint64_t total = 0;
    bool ok = true;
    long n = ReadChunk(files.in, in_.get(), qimcrypt::FileChunk);
    while (ok && n > 0) {
        // One chunk ahead, so the last chunk is known when it is decrypted.
        const long following = n == qimcrypt::FileChunk ? ReadChunk(files.in, next_.get(), qimcrypt::FileChunk) : 0;
        std::size_t plain = 0;
        ok = following >= 0 && DecryptBuffer(in_.get(), static_cast<std::size_t>(n), plain);
        if (!ok) break;
        if (following > 0) plain = static_cast<std::size_t>(n);
        ok = files.Write(in_.get(), plain);
        total += plain;
        if (progress_) progress_->Step();
        in_.swap(next_);
        n = following;
    }
    if (n < 0) ok = false;
    EndProgress();
    files.keep = ok;
    if (written && ok) *written = total;
    return ok;
}

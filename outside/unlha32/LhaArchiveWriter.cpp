#include "outside/unlha32/LhaArchiveWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "outside/unlha32/Lh5Encoder.h"
#include "outside/unlha32/LhaCrc16.h"
#include "outside/unlha32/LhaHeader.h"
#include "outside/unlha32/LhaNames.h"
#include "outside/unlha32/UnlhaApi.h"

namespace lha {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFull;  // the header's 32-bit sizes

struct FileToPack {
    std::string name;    // Shift_JIS, as stored
    std::string native;  // the path to open
};

// The output file, buffered, with the two moves back that packing needs:
// rewriting a header, and cutting off data that came out larger than stored.
class OutputFile {
public:
    explicit OutputFile(int fd) : fd_(fd) {}
    bool Append(const void* data, std::size_t length) {
        buffer_.append(static_cast<const char*>(data), length);
        position_ += length;
        return buffer_.size() < kChunk || Flush();
    }
    bool Flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        buffer_.clear();
        return true;
    }
    bool WriteAt(std::uint64_t offset, const std::string& data) {
        return Flush() && ::pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset)) ==
                              static_cast<ssize_t>(data.size());
    }
    bool CutTo(std::uint64_t offset) {
        if (!Flush() || ::ftruncate(fd_, static_cast<off_t>(offset)) != 0 ||
            ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
            return false;
        position_ = offset;
        return true;
    }
    std::uint64_t Position() const { return position_; }

private:
    int fd_;
    std::string buffer_;
    std::uint64_t position_ = 0;
};

// Attributes from mode bits, the way the mail folders keep their marks.
std::uint32_t DosAttributes(mode_t mode) {
    std::uint32_t a = 0;
    if (!(mode & S_IWUSR)) a |= 0x01;
    if (mode & S_IXOTH) a |= 0x02;
    if (mode & S_IXGRP) a |= 0x04;
    if (mode & S_IXUSR) a |= 0x20;
    return a;
}

// Numbers in numeric order, then everything else by its bytes.
bool NameBefore(const std::string& a, const std::string& b) {
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() < 19 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (digits(a) && digits(b) && a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool CollectFiles(const UnlhaCommandLine& line, const std::string& baseNative, const std::string& archiveNative,
                  std::vector<FileToPack>& files, std::string& log) {
    const std::string dirPath = baseNative.empty() ? std::string(".") : baseNative;
    DIR* dir = ::opendir(dirPath.c_str());
    if (!dir) {
        log = "cannot read the folder\n";
        return false;
    }
    struct stat archiveStat{};
    const bool archiveThere = ::stat(archiveNative.c_str(), &archiveStat) == 0;
    std::vector<FileToPack> candidates;
    while (dirent* e = ::readdir(dir)) {
        const std::string native = e->d_name;
        if (native == "." || native == "..") continue;
        std::string sjis;
        if (!NativeToSjis(native, sjis)) continue;
        const std::string path = baseNative + native;
        struct stat st{};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (archiveThere && st.st_dev == archiveStat.st_dev && st.st_ino == archiveStat.st_ino) continue;
        candidates.push_back({sjis, path});
    }
    ::closedir(dir);
    std::sort(candidates.begin(), candidates.end(),
              [](const FileToPack& a, const FileToPack& b) { return NameBefore(a.name, b.name); });
    std::set<std::string> taken;
    for (const std::string& pattern : line.patterns)
        for (const FileToPack& f : candidates)
            if (WildMatch(pattern.c_str(), f.name.c_str()) && taken.insert(f.name).second) files.push_back(f);
    return true;
}

class Packer {
public:
    Packer(OutputFile& out, AddProgress& progress, const std::string& archive, bool store)
        : out_(out), progress_(progress), archive_(archive), store_(store) {}

    // An UNLHA_ code.
    int Pack(const FileToPack& file, std::string& log) {
        const int fd = ::open(file.native.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return Fail(log, "cannot open " + file.name, UNLHA_ERROR_READ_FILE);
        const int result = PackOpen(fd, file, log);
        ::close(fd);
        return result;
    }

private:
    int Fail(std::string& log, const std::string& why, int code) {
        log.append(why).append("\n");
        return code;
    }

    int PackOpen(int fd, const FileToPack& file, std::string& log) {
        struct stat st{};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Fail(log, "cannot read " + file.name, UNLHA_ERROR_READ_FILE);
        if (static_cast<std::uint64_t>(st.st_size) > kMaxFileSize) return Fail(log, file.name + " is too large", UNLHA_ERROR_READ_FILE);
        const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
        if (!progress_.Report(UNLHA_STATE_BEGIN, archive_, file.name, size, 0)) return UNLHA_ERROR_CANCELLED;
        LhaHeader header;
        header.name = file.name;
        header.modified = st.st_mtime;
        header.attributes = DosAttributes(st.st_mode);
        header.unixMode = static_cast<std::uint16_t>(st.st_mode & 0xFFFF);
        header.hasUnixMode = true;
        header.method = store_ || size == 0 ? "-lh0-" : "-lh5-";
        header.headerOffset = out_.Position();
        const std::string placeholder = MakeLevel2Header(header);
        if (!out_.Append(placeholder.data(), placeholder.size()))
            return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
        header.dataOffset = out_.Position();

        LhaCrc16 crc;
        std::uint64_t total = 0;
        const bool packing = header.method == "-lh5-";
        if (packing) encoder_.Reset();
        std::vector<std::uint8_t> chunk(kChunk);
        for (;;) {
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Fail(log, "cannot read " + file.name, UNLHA_ERROR_READ_FILE);
            if (n == 0) break;
            total += static_cast<std::uint64_t>(n);
            if (total > kMaxFileSize) return Fail(log, file.name + " is too large", UNLHA_ERROR_READ_FILE);
            crc.Update(chunk.data(), static_cast<std::size_t>(n));
            bool written;
            if (packing) {
                encoder_.Feed(chunk.data(), static_cast<std::size_t>(n));
                written = Drain();
            } else {
                written = out_.Append(chunk.data(), static_cast<std::size_t>(n));
            }
            if (!written) return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
            if (!progress_.Report(UNLHA_STATE_INPROCESS, archive_, file.name, size, total)) return UNLHA_ERROR_CANCELLED;
        }
        if (packing) {
            encoder_.Finish();
            if (!Drain()) return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
        }
        std::uint64_t compressed = out_.Position() - header.dataOffset;
        if (packing && compressed >= total) {
            // Packing did not pay: the file goes in as it is.
            const int stored = StoreAgain(fd, header.dataOffset, total, crc.Value(), file, log);
            if (stored != UNLHA_OK) return stored;
            header.method = "-lh0-";
            compressed = total;
        }
        header.originalSize = total;
        header.compressedSize = compressed;
        header.crc = crc.Value();
        if (!out_.WriteAt(header.headerOffset, MakeLevel2Header(header)))
            return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
        char line[64];
        std::snprintf(line, sizeof line, "\t%llu -> %llu %s\n", static_cast<unsigned long long>(total),
                      static_cast<unsigned long long>(compressed), header.method.c_str());
        log.append(file.name).append(line);
        if (!progress_.Report(UNLHA_STATE_END, archive_, file.name, total, total)) return UNLHA_ERROR_CANCELLED;
        return UNLHA_OK;
    }

    bool Drain() {
        std::string& bytes = encoder_.Output();
        const bool ok = out_.Append(bytes.data(), bytes.size());
        bytes.clear();
        return ok;
    }

    // The data written once more without packing, from the file's start; the
    // file must read the same as the first time.
    int StoreAgain(int fd, std::uint64_t dataOffset, std::uint64_t total, std::uint16_t crcBefore,
                   const FileToPack& file, std::string& log) {
        if (!out_.CutTo(dataOffset) || ::lseek(fd, 0, SEEK_SET) != 0) return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
        LhaCrc16 crc;
        std::uint64_t again = 0;
        std::vector<std::uint8_t> chunk(kChunk);
        for (;;) {
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Fail(log, "cannot read " + file.name, UNLHA_ERROR_READ_FILE);
            if (n == 0) break;
            again += static_cast<std::uint64_t>(n);
            if (again > total) break;
            crc.Update(chunk.data(), static_cast<std::size_t>(n));
            if (!out_.Append(chunk.data(), static_cast<std::size_t>(n))) return Fail(log, "cannot write the archive", UNLHA_ERROR_WRITE);
        }
        if (again != total || crc.Value() != crcBefore) return Fail(log, file.name + " changed while it was packed", UNLHA_ERROR_READ_FILE);
        return UNLHA_OK;
    }

    OutputFile& out_;
    AddProgress& progress_;
    const std::string& archive_;
    bool store_;
    Lh5Encoder encoder_;
};

// fsync of the folder that holds `path`, so its new entry survives a crash.
bool SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

int LhaArchiveWriter::Add(const UnlhaCommandLine& line, AddProgress& progress, std::string& log) {
    std::string archiveNative, baseNative;
    if (!SjisToNative(line.archive, archiveNative) || !SjisToNative(line.baseFolder, baseNative)) {
        log = "a path is not Shift_JIS\n";
        return UNLHA_ERROR_NAME;
    }
    struct stat st{};
    if (::lstat(archiveNative.c_str(), &st) == 0) {
        log = "the archive exists already\n";
        return UNLHA_ERROR_ARCHIVE_EXISTS;
    }
    std::vector<FileToPack> files;
    if (!CollectFiles(line, baseNative, archiveNative, files, log)) return UNLHA_ERROR_READ_FILE;
    if (files.empty()) {
        log = "no file matches\n";
        return UNLHA_ERROR_NO_FILES;
    }
    const std::size_t slash = archiveNative.rfind('/');
    std::string temp = slash == std::string::npos ? std::string() : archiveNative.substr(0, slash + 1);
    temp.append(".unlha32-XXXXXX");
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        log = "cannot create the archive\n";
        return UNLHA_ERROR_WRITE;
    }
    int result = UNLHA_OK;
    if (!progress.Report(UNLHA_STATE_OPEN, line.archive, std::string(), 0, 0)) result = UNLHA_ERROR_CANCELLED;
    OutputFile out(fd);
    Packer packer(out, progress, line.archive, line.store);
    std::uint64_t originals = 0;
    for (std::size_t i = 0; result == UNLHA_OK && i < files.size(); ++i) {
        result = packer.Pack(files[i], log);
        struct stat fst{};
        if (result == UNLHA_OK && ::stat(files[i].native.c_str(), &fst) == 0) originals += static_cast<std::uint64_t>(fst.st_size);
    }
    const char end = 0;
    if (result == UNLHA_OK && !(out.Append(&end, 1) && out.Flush() && ::fsync(fd) == 0)) {
        log.append("cannot write the archive\n");
        result = UNLHA_ERROR_WRITE;
    }
    if (::close(fd) != 0 && result == UNLHA_OK) {
        log.append("cannot write the archive\n");
        result = UNLHA_ERROR_WRITE;
    }
    if (result == UNLHA_OK && ::link(temp.c_str(), archiveNative.c_str()) != 0) {
        const bool exists = errno == EEXIST;
        log.append(exists ? "the archive exists already\n" : "cannot name the archive\n");
        result = exists ? UNLHA_ERROR_ARCHIVE_EXISTS : UNLHA_ERROR_WRITE;
    }
    ::unlink(temp.c_str());
    if (result == UNLHA_OK && !SyncFolderOf(archiveNative)) {
        log.append("cannot flush the archive's folder\n");
        ::unlink(archiveNative.c_str());
        result = UNLHA_ERROR_WRITE;
    }
    progress.Report(UNLHA_STATE_CLOSE, line.archive, std::string(), 0, 0);
    if (result == UNLHA_OK) {
        char summary[96];
        std::snprintf(summary, sizeof summary, "%zu files, %llu -> %llu bytes\n", files.size(),
                      static_cast<unsigned long long>(originals), static_cast<unsigned long long>(out.Position()));
        log.append(summary);
    }
    return result;
}

}  // namespace lha

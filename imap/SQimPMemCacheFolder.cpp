#include "imap/SQimPMemCacheFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/FilePath.h"
#include "imap/QimPFolderPath.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "store/QimStoreCodes.h"
#include "store/SCacheHeaderCollector.h"

using qimimap::kMarkUnknown;

namespace {

constexpr long long kRecordSize = 5;
// A header line is taken up to this length, as the local cache takes it.
constexpr std::size_t kMaxHeaderLine = 64 * 1024;
// TotalSize reads this many records at a time.
constexpr std::size_t kRecordsPerBlock = 4096;

bool IsRecordNumber(int number) { return number > 0 && number <= SQimPMemCacheFolder::kMaxRecordNumber; }

long long OffsetOf(int number) { return static_cast<long long>(number) * kRecordSize; }

std::uint32_t Uint32Of(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Reads `length` bytes at `offset`; false when the file is shorter.
bool ReadBytes(const std::string& path, long long offset, unsigned char* out, std::size_t length) {
    if (path.empty()) return false;
    FILE* fp = platform::OpenFile(path.c_str(), "r");
    if (!fp) return false;
    const bool ok = fseeko(fp, offset, SEEK_SET) == 0 && std::fread(out, 1, length, fp) == length;
    std::fclose(fp);
    return ok;
}

// Writes in place, making the file when it is missing; bytes before the
// offset that were never written read as zeros.
bool WriteBytes(const std::string& path, long long offset, const unsigned char* data, std::size_t length) {
    if (path.empty()) return false;
    FILE* fp = platform::OpenFile(path.c_str(), "r+");
    if (!fp && errno == ENOENT) fp = platform::OpenFile(path.c_str(), "w+");
    if (!fp) return false;
    bool ok = fseeko(fp, offset, SEEK_SET) == 0 && std::fwrite(data, 1, length, fp) == length;
    ok = std::fclose(fp) == 0 && ok;
    return ok;
}

bool EmptyFile(const std::string& path) {
    platform::TextFile out;
    return out.Open(path.c_str(), "w") && out.Close();
}

bool SetArchive(const std::string& path, bool archive) {
    if (!archive) return platform::SetFileAttributes(path.c_str(), platform::FILE_ATTRIBUTE_NORMAL);
    const std::uint32_t a = platform::GetFileAttributes(path.c_str());
    if (a == platform::INVALID_FILE_ATTRIBUTES) return false;
    return platform::SetFileAttributes(path.c_str(), (a & ~platform::FILE_ATTRIBUTE_NORMAL) | platform::FILE_ATTRIBUTE_ARCHIVE);
}

bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
    return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

}  // namespace

std::uint32_t SQimPMemCacheFolder::StorableSize(std::uint64_t size) {
    return size > 0xffffffffu ? 0xffffffffu : static_cast<std::uint32_t>(size);
}

SQimPMemCacheFolder::SQimPMemCacheFolder(const char* tempDir) : root_(tempDir) {}

SQimPMemCacheFolder::~SQimPMemCacheFolder() = default;

void SQimPMemCacheFolder::SetFolder(const char* path) { SetFolder(std::string(path ? path : "")); }

void SQimPMemCacheFolder::SetFolder(const std::string& path) {
    server_ = qimimap::IsQimPFolder(path);
    if (!server_) {
        cacheDir_.clear();
        markSizePath_.clear();
        SMemCacheFolder::SetFolder(path);
        return;
    }
    batch_.Close();
    SQimFolder::SetFolder(path);
    MakeCachePath();
    Load();
}

void SQimPMemCacheFolder::MakeCachePath() {
    if (!server_) {
        SMemCacheFolder::MakeCachePath();
        return;
    }
    cacheDir_.clear();
    cachePath_.clear();
    markSizePath_.clear();
    if (!CacheDirectoryOf(path_, cacheDir_)) return;
    MergeFilePath(cachePath_, cacheDir_, qimstore::kCacheFileName);
    MergeFilePath(markSizePath_, cacheDir_, qimimap::kMarkSizeFileName);
}

bool SQimPMemCacheFolder::RebuildCache() { return server_ ? Load() : SMemCacheFolder::RebuildCache(); }

bool SQimPMemCacheFolder::UpdateCache() { return server_ ? Load() : SMemCacheFolder::UpdateCache(); }

int SQimPMemCacheFolder::LastNumber() { return server_ ? LastCachedNumber() : SMemCacheFolder::LastNumber(); }

unsigned char SQimPMemCacheFolder::GetMarks(int number) {
    return server_ ? GetMark(number) : SMemCacheFolder::GetMarks(number);
}

bool SQimPMemCacheFolder::SetMarks(int number, unsigned char marks) {
    if (!server_) return SMemCacheFolder::SetMarks(number, marks);
    const unsigned char mark = GetMark(number);
    return mark != kMarkUnknown && SetMark(number, static_cast<unsigned char>(mark | marks));
}

bool SQimPMemCacheFolder::ClearMarks(int number, unsigned char marks) {
    return server_ ? ClearMark(number, marks) : SMemCacheFolder::ClearMarks(number, marks);
}

std::string SQimPMemCacheFolder::CacheRoot() { return root_.Path(); }

bool SQimPMemCacheFolder::CacheDirectoryOf(const std::string& path, std::string& dir) {
    dir.clear();
    std::vector<std::string> components;
    if (!qimimap::QimPComponents(path, components)) return false;
    std::string d = CacheRoot();
    // Without a root the names would be taken relative to the working folder.
    if (d.empty()) return false;
    for (const std::string& c : components) MergeFilePath(d, d, c);
    dir = std::move(d);
    return true;
}

unsigned char SQimPMemCacheFolder::GetMark(int number) {
    if (!server_) return SMemCacheFolder::GetMarks(number);
    unsigned char mark = 0;
    if (!IsRecordNumber(number) || !ReadBytes(markSizePath_, OffsetOf(number), &mark, 1)) return kMarkUnknown;
    return mark;
}

bool SQimPMemCacheFolder::SetMark(int number, unsigned char mark) {
    if (!server_) return SMemCacheFolder::SetMarks(number, mark);
    return IsRecordNumber(number) && WriteBytes(markSizePath_, OffsetOf(number), &mark, 1);
}

bool SQimPMemCacheFolder::ClearMark(int number, unsigned char bits) {
    if (!server_) return SMemCacheFolder::ClearMarks(number, bits);
    unsigned char mark = 0;
    if (!IsRecordNumber(number) || !ReadBytes(markSizePath_, OffsetOf(number), &mark, 1)) return false;
    mark = static_cast<unsigned char>(mark & ~bits);
    return WriteBytes(markSizePath_, OffsetOf(number), &mark, 1);
}

long long SQimPMemCacheFolder::GetSize(int number) {
    if (!server_) {
        std::uint64_t size = 0;
        if (number <= 0 || !platform::FileSize(MailPath(number).c_str(), &size)) return -1;
        return static_cast<long long>(size);
    }
    unsigned char bytes[4];
    if (!IsRecordNumber(number) || !ReadBytes(markSizePath_, OffsetOf(number) + 1, bytes, sizeof bytes)) return -1;
    return Uint32Of(bytes);
}

long long SQimPMemCacheFolder::TotalSize() {
    long long total = 0;
    if (!server_) {
        // The mail files themselves: a folder with a mail named 2147483647
        // must not cost two thousand million look-ups.
        for (int n : MailNumbers()) {
            const long long size = GetSize(n);
            if (size > 0) total += size;
        }
        return total;
    }
    const int last = std::min(LastNumber(), kMaxRecordNumber);
    if (last <= 0 || markSizePath_.empty()) return 0;
    FILE* fp = platform::OpenFile(markSizePath_.c_str(), "r");
    if (!fp) return 0;
    // One pass over the file, however high the last number: records past its
    // end cannot be read and count for nothing.
    std::vector<unsigned char> block(kRecordsPerBlock * kRecordSize);
    long long left = last;
    if (fseeko(fp, OffsetOf(1), SEEK_SET) == 0) {
        while (left > 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<long long>(left, kRecordsPerBlock));
            const std::size_t got = std::fread(block.data(), 1, want * kRecordSize, fp);
            const std::size_t records = got / kRecordSize;
            for (std::size_t r = 0; r < records; ++r) total += Uint32Of(block.data() + r * kRecordSize + 1);
            left -= static_cast<long long>(records);
            if (records < want) break;
        }
    }
    std::fclose(fp);
    return total;
}

bool SQimPMemCacheFolder::IsFilled() const {
    if (!server_) return true;
    if (cachePath_.empty()) return false;
    const std::uint32_t a = platform::GetFileAttributes(cachePath_.c_str());
    return a != platform::INVALID_FILE_ATTRIBUTES && (a & platform::FILE_ATTRIBUTE_ARCHIVE) != 0;
}

bool SQimPMemCacheFolder::FillState(const std::string& dir, bool filled) {
    std::string header, markSize;
    MergeFilePath(header, dir, qimstore::kCacheFileName);
    MergeFilePath(markSize, dir, qimimap::kMarkSizeFileName);
    bool ok = true;
    for (const std::string* path : {&header, &markSize}) {
        if (!filled) ok = EmptyFile(*path) && ok;
        ok = SetArchive(*path, filled) && ok;
    }
    return ok;
}

bool SQimPMemCacheFolder::SetFilled(bool filled) {
    if (!server_) return true;
    if (cacheDir_.empty()) return false;
    const bool ok = FillState(cacheDir_, filled);
    if (!filled) Load();
    return ok;
}

bool SQimPMemCacheFolder::SetFilledOf(const std::string& path, bool filled) {
    if (!qimimap::IsQimPFolder(path)) return true;
    std::string dir;
    if (!CacheDirectoryOf(path, dir)) return false;
    const bool ok = FillState(dir, filled);
    if (!filled && server_ && dir == cacheDir_) Load();
    return ok;
}

bool SQimPMemCacheFolder::MakeDirectories(const std::vector<std::string>& components) {
    std::string d = CacheRoot();
    if (d.empty() || !platform::IsDirectory(d.c_str())) return false;
    for (const std::string& c : components) {
        MergeFilePath(d, d, c);
        if (!platform::IsDirectory(d.c_str()) && !platform::CreateDirectory(d.c_str())) return false;
    }
    return true;
}

bool SQimPMemCacheFolder::MakeDirectory(const std::string& path) {
    std::vector<std::string> components;
    return qimimap::QimPComponents(path, components) && MakeDirectories(components);
}

bool SQimPMemCacheFolder::RenameDirectory(const std::string& oldPath, const std::string& newPath) {
    std::vector<std::string> from, to;
    std::string fromDir, toDir;
    if (!qimimap::QimPComponents(oldPath, from) || !qimimap::QimPComponents(newPath, to)) return false;
    if (from.empty() || to.empty() || StartsWith(to, from)) return false;
    if (!CacheDirectoryOf(oldPath, fromDir) || !CacheDirectoryOf(newPath, toDir)) return false;
    if (!platform::IsDirectory(fromDir.c_str())) return false;
    to.pop_back();
    return MakeDirectories(to) && platform::MoveFile(fromDir.c_str(), toDir.c_str());
}

bool SQimPMemCacheFolder::RemoveDirectory(const std::string& path) {
    std::vector<std::string> components;
    std::string dir;
    if (!qimimap::QimPComponents(path, components) || components.empty()) return false;
    if (!CacheDirectoryOf(path, dir)) return false;
    return platform::RemoveTree(dir.c_str());
}

void SQimPMemCacheFolder::BeginHeader() {
    collector_ = std::make_unique<SCacheHeaderCollector>();
    gotLines_ = false;
    headerEnded_ = false;
}

void SQimPMemCacheFolder::HeaderLine(const char* line) {
    if (!line || headerEnded_) return;
    if (!collector_) BeginHeader();
    std::size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
    // The empty line ends the header; what follows is no header line.
    if (length == 0) {
        headerEnded_ = true;
        return;
    }
    // The collector takes lines as a mail file read in text mode gives them.
    std::string text(line, std::min(length, kMaxHeaderLine));
    text.push_back('\n');
    collector_->Execute(text.c_str());
    gotLines_ = true;
}

bool SQimPMemCacheFolder::EndHeader(unsigned char mark, std::uint32_t size, int serverNumber, bool ok) {
    bool collected = true;
    SHeaderData data;
    if (collector_) {
        collected = collector_->Finish();
        data = collector_->Data();
        collector_.reset();
    }
    const bool gotLines = gotLines_;
    gotLines_ = false;
    headerEnded_ = false;
    if (!ok || !gotLines) return collected;
    if (!server_ || serverNumber < 0) return false;
    int number = serverNumber;
    if (number == 0) {
        // -1 (no cache file): Reset makes it before a fetch, so it is missing
        // only when something went wrong.
        const int last = LastNumber();
        if (last < 0 || last >= kMaxRecordNumber) return false;
        number = last + 1;
    }
    if (!IsRecordNumber(number)) return false;
    const std::string record = FormatRecord(number, data);
    platform::TextFile out;
    // Always appended: Reset empties the file before a fetch, and a file
    // written since must keep the headers already received.
    if (!out.Open(cachePath_.c_str(), "a")) return false;
    const bool written = out.Write(record.data(), record.size());
    if (!out.Close() || !written) return false;
    unsigned char bytes[kRecordSize] = {mark, static_cast<unsigned char>(size & 0xff),
                                        static_cast<unsigned char>(size >> 8 & 0xff),
                                        static_cast<unsigned char>(size >> 16 & 0xff),
                                        static_cast<unsigned char>(size >> 24 & 0xff)};
    return WriteBytes(markSizePath_, OffsetOf(number), bytes, sizeof bytes);
}

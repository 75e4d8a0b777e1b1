#include "store/SQimCacheFolder.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <vector>

#include "common/FilePath.h"
#include "platform/FileDescriptors.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SCacheHeaderCollector.h"
#include "store/SMailHeaderReader.h"

namespace {

// The tail of the cache is read from this window, doubling, up to the limit;
// beyond it the file is read from its start.
constexpr long long kFirstTailWindow = 200;
constexpr long long kMaxTailWindow = 4 * 1024 * 1024;

// "99.12.31 23:59" and its line end: the last line of every record.
bool IsDateKeyLine(const char* p, std::size_t length) {
    if (length > 0 && p[length - 1] == '\n') --length;
    if (length > 0 && p[length - 1] == '\r') --length;
    static const char kShape[] = "00.00.00 00:00";
    if (length != sizeof kShape - 1) return false;
    for (std::size_t i = 0; i < length; ++i) {
        const bool digit = p[i] >= '0' && p[i] <= '9';
        if (kShape[i] == '0' ? !digit : p[i] != kShape[i]) return false;
    }
    return true;
}

// Digits, then a blank or the line end: the first line of a record.
bool IsNumberLine(const char* p, std::size_t length) {
    std::size_t i = 0;
    while (i < length && p[i] >= '0' && p[i] <= '9') ++i;
    return i > 0 && (i == length || p[i] == ' ' || p[i] == '\r' || p[i] == '\n');
}

int NumberOfLine(const char* p, std::size_t length) {
    const std::string text(p, std::min<std::size_t>(length, 64));
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

long long FileLength(FILE* fp) {
    if (fseeko(fp, 0, SEEK_END) != 0) return -1;
    return ftello(fp);
}

// Reads `length` bytes at `offset`.
bool ReadAt(FILE* fp, long long offset, std::size_t length, std::vector<char>& out) {
    out.resize(length);
    return fseeko(fp, offset, SEEK_SET) == 0 && std::fread(out.data(), 1, length, fp) == length;
}

enum class TailVerdict { Record, Unknown, NotClean };

// The tail from a window at the end of the file: the last four lines must look
// like a whole record, and the line before them like the end of one (or the
// file must start there). Unknown: a larger window can tell. NotClean: the
// end is no record boundary, or does not look like one.
TailVerdict TailFromWindow(const std::vector<char>& w, long long windowStart, int& number) {
    if (w.empty() || w.back() != '\n') return TailVerdict::NotClean;
    // Line starts, last line first; a start is known after a line end inside
    // the window, or at the file start.
    std::vector<std::size_t> starts;
    for (std::size_t i = w.size() - 1; i-- > 0 && starts.size() < 5;) {
        if (w[i] == '\n') starts.push_back(i + 1);
    }
    if (starts.size() < 5 && windowStart == 0) starts.push_back(0);
    if (starts.size() < 4) return windowStart == 0 ? TailVerdict::NotClean : TailVerdict::Unknown;
    auto line = [&](std::size_t k, const char*& p, std::size_t& length) {
        const std::size_t end = k == 0 ? w.size() : starts[k - 1];
        p = w.data() + starts[k];
        length = end - starts[k];
    };
    const char* p = nullptr;
    std::size_t length = 0;
    line(0, p, length);
    if (!IsDateKeyLine(p, length)) return TailVerdict::NotClean;
    line(3, p, length);
    if (!IsNumberLine(p, length)) return TailVerdict::NotClean;
    number = NumberOfLine(p, length);
    if (windowStart == 0 && starts[3] == 0) return TailVerdict::Record;
    if (starts.size() < 5) return TailVerdict::Unknown;
    line(4, p, length);
    return IsDateKeyLine(p, length) ? TailVerdict::Record : TailVerdict::NotClean;
}

}  // namespace

SQimCacheFolder::SQimCacheFolder(const std::string& path) { SQimCacheFolder::SetFolder(path); }

SQimCacheFolder::~SQimCacheFolder() { batch_.Close(); }

void SQimCacheFolder::SetFolder(const char* path) { SetFolder(std::string(path ? path : "")); }

void SQimCacheFolder::SetFolder(const std::string& path) {
    batch_.Close();
    SQimFolder::SetFolder(path);
    MakeCachePath();
    if (!CacheExists()) RebuildCache();
}

void SQimCacheFolder::MakeCachePath() { MergeFilePath(cachePath_, path_, qimstore::kCacheFileName); }

bool SQimCacheFolder::CacheExists() const { return platform::IsRegularFile(cachePath_.c_str()); }

namespace {

// The header of the open file `fd` through `reader` into `collector` (which
// starts afresh); the file is closed after it. False when the file could not
// be read at all.
bool CollectHeader(int fd, SMailHeaderReader& reader, SCacheHeaderCollector& collector) {
    reader.Open(fd);
    collector.Init();
    std::size_t length = 0;
    while (const char* line = reader.NextLine(length)) {
        if (SMailHeaderReader::IsHeaderEnd(length, line)) break;
        collector.Execute(line);
    }
    reader.Close();
    collector.Finish();
    return !reader.Unreadable();
}

// The record text of `data` in `record` (replacing it), so that a buffer can
// serve every record of a folder.
void PutRecord(std::string& record, int number, const SHeaderData& data) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    record.assign(digits, static_cast<std::size_t>(result.ptr - digits));
    record.push_back(' ');
    const std::size_t fields = record.size();
    record.append(data.to);
    record.push_back('\n');
    record.append(data.from);
    record.push_back('\n');
    record.append(data.subject);
    record.push_back('\n');
    record.append(data.date);
    record.push_back('\n');
    for (std::size_t i = fields; i < record.size(); ++i) {
        if (record[i] == '\t') record[i] = ' ';
    }
}

// Writes the records of one folder's mails. The folder is opened once and
// each mail by its name in it; one reader, collector and record text serve
// every mail, so a rebuild allocates nothing per mail or line.
class RecordWriter {
public:
    explicit RecordWriter(const SQimFolder& folder)
        : folder_(folder), dir_(platform::OpenFolderDescriptor(folder.Path().c_str())) {}
    ~RecordWriter() { platform::CloseDescriptor(dir_); }
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Whether mail `number` is there (a regular file), asked in the open folder.
    bool Exists(int number) const {
        if (number <= 0) return false;
        if (dir_ < 0) return folder_.MailExists(number);
        char name[16];
        *std::to_chars(name, name + sizeof name - 1, number).ptr = '\0';
        return platform::IsRegularFileAt(dir_, name);
    }

    // False when the mail cannot be read (it is left out) or the write failed.
    // `listedAsFile`: a listing of the folder has just said that the name is a
    // regular file, so no more asking is needed (a folder put there since
    // fails its read).
    bool Write(platform::TextFile& out, int number, bool listedAsFile = false) {
        char name[16];
        *std::to_chars(name, name + sizeof name - 1, number).ptr = '\0';
        const int fd = dir_ >= 0 ? platform::OpenReadOnlyAt(dir_, name) : platform::OpenReadOnly(folder_.MailPath(number).c_str());
        if (fd < 0) return false;
        // Only a file is a mail (a folder with a number name is not).
        if (!listedAsFile && !platform::IsRegularDescriptor(fd)) {
            platform::CloseDescriptor(fd);
            return false;
        }
        if (!CollectHeader(fd, reader_, collector_)) return false;
        PutRecord(record_, number, collector_.Data());
        return out.Write(record_.data(), record_.size());
    }

private:
    const SQimFolder& folder_;
    int dir_;
    SMailHeaderReader reader_;
    SCacheHeaderCollector collector_;
    std::string record_;
};

}  // namespace

bool SQimCacheFolder::ReadHeaderData(const char* mailPath, SHeaderData& data) {
    data = SHeaderData();
    const int fd = platform::OpenReadOnly(mailPath);
    if (fd < 0) return false;
    // Only a file is a mail (a folder with a number name is not); asked of the
    // open file, so the name is looked up once.
    if (!platform::IsRegularDescriptor(fd)) {
        platform::CloseDescriptor(fd);
        return false;
    }
    SMailHeaderReader reader;
    SCacheHeaderCollector collector;
    CollectHeader(fd, reader, collector);
    data = collector.Data();
    return true;
}

std::string SQimCacheFolder::FormatRecord(int number, const SHeaderData& data) {
    std::string record;
    PutRecord(record, number, data);
    return record;
}

namespace {

bool WriteRecordOf(platform::TextFile& out, const SQimFolder& folder, int number) {
    return RecordWriter(folder).Write(out, number);
}

}  // namespace

bool SQimCacheFolder::ReplaceCache(const std::function<bool(platform::TextFile& out)>& fill) {
    std::string temp;
    if (!platform::CreateTempFile(path_.c_str(), "HCACHE.TXT.", temp)) return false;
    platform::TextFile out;
    bool ok = out.Open(temp.c_str(), "w") && fill(out) && out.Sync();
    ok = out.Close() && ok;
    ok = ok && platform::ReplaceFile(temp.c_str(), cachePath_.c_str());
    if (!ok) {
        const int error = errno;
        platform::RemoveFile(temp.c_str());
        errno = error;
    }
    return ok;
}

bool SQimCacheFolder::RebuildCache() {
    return ReplaceCache([this](platform::TextFile& out) {
        // A mail that cannot be read is left out.
        RecordWriter writer(*this);
        for (int n : MailNumbers()) writer.Write(out, n, true);
        return !out.Error();
    });
}

bool SQimCacheFolder::ReadCacheTail(CacheTail& tail) const {
    tail = CacheTail();
    FILE* fp = platform::OpenFile(cachePath_.c_str(), "r");
    if (!fp) return false;
    const long long size = FileLength(fp);
    if (size < 0) {
        std::fclose(fp);
        return false;
    }
    std::vector<char> window;
    for (long long w = kFirstTailWindow; size > 0; w *= 2) {
        const long long start = w < size ? size - w : 0;
        if (!ReadAt(fp, start, static_cast<std::size_t>(size - start), window)) break;
        int number = 0;
        const TailVerdict verdict = TailFromWindow(window, start, number);
        if (verdict == TailVerdict::Record) {
            tail.number = number;
            tail.end = size;
            std::fclose(fp);
            return true;
        }
        if (verdict == TailVerdict::NotClean || start == 0 || w >= kMaxTailWindow) break;
    }
    // The end does not look like a whole record: count lines from the start,
    // as loading does.
    std::vector<char> block(1 << 16);
    if (fseeko(fp, 0, SEEK_SET) != 0) {
        std::fclose(fp);
        return false;
    }
    long long offset = 0;
    int linesInRecord = 0;
    std::string firstLine;
    bool inFirstLine = true;
    std::string candidateLine;  // first line of the last complete record
    std::size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), fp)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (inFirstLine && firstLine.size() < 64) firstLine += block[i];
            if (block[i] != '\n') continue;
            inFirstLine = false;
            if (++linesInRecord == 4) {
                candidateLine = firstLine;
                tail.end = offset + static_cast<long long>(i) + 1;
                linesInRecord = 0;
                firstLine.clear();
                inFirstLine = true;
            }
        }
        offset += static_cast<long long>(got);
    }
    const bool readOk = !std::ferror(fp);
    std::fclose(fp);
    if (!readOk) return false;
    tail.number = candidateLine.empty() ? 0 : NumberOfLine(candidateLine.data(), candidateLine.size());
    tail.clean = tail.end == size;
    return true;
}

int SQimCacheFolder::LastCachedNumber() {
    CacheTail tail;
    return ReadCacheTail(tail) ? tail.number : -1;
}

bool SQimCacheFolder::RepairTail() {
    CacheTail tail;
    if (ReadCacheTail(tail) && tail.clean) return true;
    return RebuildCache();
}

bool SQimCacheFolder::AppendRecord(int number) {
    // A rebuild already holds the mail's record.
    CacheTail tail;
    if (!ReadCacheTail(tail) || !tail.clean) return RebuildCache();
    platform::TextFile out;
    if (!out.Open(cachePath_.c_str(), "a")) return false;
    const bool ok = WriteRecordOf(out, *this, number);
    return out.Close() && ok;
}

void SQimCacheFolder::AppendFrom(int number) {
    if (number <= 0 || !MailExists(number)) return;
    platform::TextFile out;
    if (!out.Open(cachePath_.c_str(), "a")) return;
    RecordWriter writer(*this);
    for (int n = number; writer.Exists(n); ++n) {
        writer.Write(out, n, true);
        if (n == INT_MAX) break;
    }
    out.Close();
}

bool SQimCacheFolder::UpdateCache() {
    CacheTail tail;
    if (!ReadCacheTail(tail) || !tail.clean) return RebuildCache();
    // A cache that ends above every mail (the highest ones were deleted by
    // another program) would never take the new mails that come after them.
    if (tail.number > 0 && tail.number < INT_MAX && !MailExists(tail.number + 1) && tail.number > LastNumber())
        return RebuildCache();
    if (tail.number < INT_MAX) AppendFrom(tail.number + 1);
    return true;
}

bool SQimCacheFolder::AddMailByMove(const char* sourcePath) {
    const int last = LastNumber();
    if (last == INT_MAX || !platform::IsRegularFile(sourcePath)) return false;
    if (!MoveFileKeepAttrib(sourcePath, MailPath(last + 1).c_str())) return false;
    AppendRecord(last + 1);
    return true;
}

bool SQimCacheFolder::BeginBatch() {
    batch_.Close();
    batchIncomplete_ = false;
    counter_ = LastNumber();
    if (!CacheExists() || !RepairTail()) {
        if (!RebuildCache()) return false;
    }
    return batch_.Open(cachePath_.c_str(), "a");
}

bool SQimCacheFolder::BatchBring(const char* sourcePath, bool (*bring)(const char* from, const char* to)) {
    if (!batch_.IsOpen()) {
        errno = EBADF;
        return false;
    }
    if (!platform::IsRegularFile(sourcePath)) {
        if (platform::IsDirectory(sourcePath)) errno = EISDIR;
        return false;
    }
    // A name taken meanwhile by someone else is passed over, never replaced.
    for (int tries = 0; tries < 100; ++tries) {
        if (counter_ == INT_MAX) {
            errno = EOVERFLOW;
            return false;
        }
        const int number = counter_ + 1;
        if (bring(sourcePath, MailPath(number).c_str())) {
            counter_ = number;
            if (!WriteRecordOf(batch_, *this, number)) batchIncomplete_ = true;
            // A crash after this leaves a cache that knows the mail.
            batch_.Flush();
            return true;
        }
        if (errno != EEXIST) return false;
        counter_ = number;
    }
    return false;
}

bool SQimCacheFolder::BatchMove(const char* sourcePath) { return BatchBring(sourcePath, &MoveFileKeepAttrib); }

bool SQimCacheFolder::BatchCopy(const char* sourcePath) {
    return BatchBring(sourcePath, [](const char* from, const char* to) { return platform::CopyFileNoReplace(from, to); });
}

bool SQimCacheFolder::EndBatch() {
    if (!batch_.IsOpen()) return true;
    bool ok = batch_.Close();
    // A record that could not be written would leave a mail out of the list.
    if (!ok || batchIncomplete_) ok = RebuildCache();
    batchIncomplete_ = false;
    return ok;
}

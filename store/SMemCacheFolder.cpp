#include "store/SMemCacheFolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

// A line of the file, given as bytes without its line end. False at the end
// of the data or when the last line has no line end (a record cut short).
bool NextLine(const char*& p, const char* end, const char*& line, std::size_t& length) {
    if (p >= end) return false;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!nl) return false;
    line = p;
    length = static_cast<std::size_t>(nl - p);
    if (length > 0 && line[length - 1] == '\r') --length;
    p = nl + 1;
    return true;
}

int NumberOf(const char* text, std::size_t length) {
    char digits[64];
    const std::size_t n = std::min(length, sizeof digits - 1);
    std::memcpy(digits, text, n);
    digits[n] = '\0';
    errno = 0;
    const long long value = std::strtoll(digits, nullptr, 10);
    if (errno == ERANGE || value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

SMemCacheFolder::SMemCacheFolder(const std::string& path) { SMemCacheFolder::SetFolder(path); }

void SMemCacheFolder::SetFolder(const char* path) { SetFolder(std::string(path ? path : "")); }

void SMemCacheFolder::SetFolder(const std::string& path) {
    SQimCacheFolder::SetFolder(path);
    Load();
}

bool SMemCacheFolder::RebuildCache() {
    const bool ok = SQimCacheFolder::RebuildCache();
    return Load() && ok;
}

bool SMemCacheFolder::UpdateCache() {
    const bool ok = SQimCacheFolder::UpdateCache();
    return Load() && ok;
}

std::size_t SMemCacheFolder::ParseRecords(const char* data, std::size_t length, std::vector<SQimMailData>& records) {
    const char* p = data;
    const char* const end = data + length;
    const char* line[4];
    std::size_t size[4];
    for (;;) {
        const char* const start = p;
        int got = 0;
        while (got < 4 && NextLine(p, end, line[got], size[got])) ++got;
        if (got < 4) return static_cast<std::size_t>(start - data);
        SQimMailData& r = records.emplace_back();
        const char* blank = static_cast<const char*>(std::memchr(line[0], ' ', size[0]));
        const std::size_t numberLength = blank ? static_cast<std::size_t>(blank - line[0]) : size[0];
        r.number = NumberOf(line[0], numberLength);
        if (blank) r.header.to.assign(blank + 1, size[0] - numberLength - 1);
        r.header.from.assign(line[1], size[1]);
        r.header.subject.assign(line[2], size[2]);
        r.header.date.assign(line[3], size[3]);
    }
}

bool SMemCacheFolder::Load() {
    records_.clear();
    FILE* fp = platform::OpenFile(cachePath_.c_str(), "r");
    if (!fp) return false;
    // Roughly 80 bytes a record; room that is reserved but never used costs
    // no memory.
    if (fseeko(fp, 0, SEEK_END) == 0) {
        const off_t size = ftello(fp);
        if (size > 0) records_.reserve(static_cast<std::size_t>(size) / 48 + 16);
        fseeko(fp, 0, SEEK_SET);
    }
    // Read in blocks into one buffer that is used again, so a large folder
    // touches little fresh memory beside its records; a record that does not
    // fit moves to the front and the next block follows it.
    std::vector<char> buffer(1 << 18);
    std::size_t kept = 0;
    for (;;) {
        if (kept == buffer.size()) buffer.resize(buffer.size() * 2);
        const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, fp);
        if (got == 0) break;
        const std::size_t available = kept + got;
        const std::size_t used = ParseRecords(buffer.data(), available, records_);
        kept = available - used;
        std::memmove(buffer.data(), buffer.data() + used, kept);
    }
    const bool ok = !std::ferror(fp);
    std::fclose(fp);
    return ok;
}

bool SMemCacheFolder::Find(int number, SHeaderData& data) const {
    for (const SQimMailData& r : records_) {
        if (r.number == number) {
            data = r.header;
            return true;
        }
    }
    return false;
}

bool SMemCacheFolder::WriteAll() {
    return ReplaceCache([this](platform::TextFile& out) {
        std::string block;
        for (const SQimMailData& r : records_) {
            block += FormatRecord(r.number, r.header);
            if (block.size() >= (1 << 16)) {
                if (!out.Write(block.data(), block.size())) return false;
                block.clear();
            }
        }
        return out.Write(block.data(), block.size()) && !out.Error();
    });
}

bool SMemCacheFolder::Remove(int number) {
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->number == number) {
            records_.erase(it);
            return true;
        }
    }
    return false;
}

std::size_t SMemCacheFolder::RemoveNumbers(const std::unordered_set<int>& numbers) {
    const std::size_t before = records_.size();
    std::erase_if(records_, [&](const SQimMailData& r) { return numbers.count(r.number) != 0; });
    return before - records_.size();
}

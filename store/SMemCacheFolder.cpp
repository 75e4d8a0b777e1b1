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

// The whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const char* path, std::string& data) {
    data.clear();
    FILE* fp = platform::OpenFile(path, "r");
    if (!fp) return false;
    bool ok = true;
    if (fseeko(fp, 0, SEEK_END) == 0) {
        const off_t size = ftello(fp);
        if (size > 0) data.reserve(static_cast<std::size_t>(size));
        ok = fseeko(fp, 0, SEEK_SET) == 0;
    }
    char block[1 << 16];
    std::size_t got = 0;
    while (ok && (got = std::fread(block, 1, sizeof block, fp)) > 0) data.append(block, got);
    ok = ok && !std::ferror(fp);
    std::fclose(fp);
    return ok;
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

void SMemCacheFolder::ParseRecords(const char* data, std::size_t length, std::vector<SQimMailData>& records) {
    const char* p = data;
    const char* const end = data + length;
    const char* line[4];
    std::size_t size[4];
    for (;;) {
        int got = 0;
        while (got < 4 && NextLine(p, end, line[got], size[got])) ++got;
        if (got < 4) break;
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
    std::string data;
    if (!ReadWholeFile(cachePath_.c_str(), data)) return false;
    // Roughly 80 bytes a record: one allocation for most folders.
    records_.reserve(data.size() / 64 + 1);
    ParseRecords(data.data(), data.size(), records_);
    records_.shrink_to_fit();
    return true;
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

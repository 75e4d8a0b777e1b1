#include "imap/SQimPFolderList.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "common/FilePath.h"
#include "config/SQimTmpFilePath.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

constexpr char kFallbackName[] = "PFolders.TXT";

int g_count = 0;
std::unique_ptr<SQimTmpFilePath> g_path;

// Reads one line of at most kMaxPath characters without its line end; a
// longer one is read to its end and given as `tooLong`. False at the end.
bool ReadListLine(platform::TextFile& in, std::string& line, bool& tooLong) {
    char buffer[kMaxPath + 2];
    line.clear();
    tooLong = false;
    int n = in.ReadLine(buffer, sizeof buffer);
    if (n == 0) return false;
    if (buffer[n - 1] == '\n') {
        line.assign(buffer, static_cast<std::size_t>(n - 1));
    } else if (n < kMaxPath + 1) {
        line.assign(buffer, static_cast<std::size_t>(n));  // the last line, without line end
    } else {
        tooLong = true;
        while ((n = in.ReadLine(buffer, sizeof buffer)) > 0 && buffer[n - 1] != '\n') {
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Whether `entry` followed by a backslash begins another entry of `sorted`.
bool IsParentOfAnother(const std::vector<std::string>& sorted, const std::string& entry) {
    std::string prefix = entry;
    prefix.push_back('\\');
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), prefix);
    return it != sorted.end() && it->compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

SQimPFolderList::SQimPFolderList(const char* dir) {
    if (g_count++ == 0) g_path = std::make_unique<SQimTmpFilePath>(dir);
}

SQimPFolderList::~SQimPFolderList() {
    if (--g_count == 0) g_path.reset();
}

int SQimPFolderList::Count() { return g_count; }

std::string SQimPFolderList::Path() { return g_path ? g_path->Path() : kFallbackName; }

bool SQimPFolderList::Exists() const {
    std::uint64_t size = 0;
    return platform::FileSize(Path().c_str(), &size) && size > 0;
}

bool SQimPFolderList::Read(std::vector<std::string>& list) const {
    platform::TextFile in;
    if (!in.Open(Path().c_str(), "r")) return false;
    std::vector<std::string> entries;
    std::string line;
    bool tooLong = false;
    while (ReadListLine(in, line, tooLong)) {
        if (!tooLong && !line.empty()) entries.push_back(line);
    }
    if (in.Error()) return false;
    // Sorted, each parent test is one search, so a long list stays quick.
    std::vector<std::string> sorted = entries;
    std::sort(sorted.begin(), sorted.end());
    for (std::string& e : entries) {
        if (!IsParentOfAnother(sorted, e)) list.push_back(std::move(e));
    }
    return true;
}

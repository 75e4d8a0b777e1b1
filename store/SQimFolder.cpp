#include "store/SQimFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/FilePath.h"
#include "common/TextTools.h"
#include "platform/DirectoryList.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "store/QimStoreCodes.h"
#include "store/SQimCacheFolder.h"
#include "store/SQimComparator.h"

using namespace qimstore;

namespace {

// The mark flags as the attribute bits that keep them.
std::uint32_t AttributesOf(unsigned char marks) {
    std::uint32_t a = 0;
    if (marks & kMarkRead) a |= platform::FILE_ATTRIBUTE_ARCHIVE;
    if (marks & kMarkImportant) a |= platform::FILE_ATTRIBUTE_READONLY;
    return a;
}

}  // namespace

SQimFolder::SQimFolder(const std::string& path) : path_(path) {}

void SQimFolder::SetFolder(const char* path) { path_ = path ? path : ""; }

void SQimFolder::SetFolder(const std::string& path) { path_ = path; }

bool SQimFolder::IsSingleName(const char* name) {
    return name && *name && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
           !std::strchr(name, '/');
}

bool SQimFolder::IsMailFileName(const char* name, int* number) {
    if (!name || name[0] < '1' || name[0] > '9') return false;
    long long value = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + (*p - '0');
        if (value > INT_MAX) return false;
    }
    if (number) *number = static_cast<int>(value);
    return true;
}

std::string SQimFolder::MailPath(int number) const {
    std::string path;
    MergeFilePath(path, path_, std::to_string(number));
    return path;
}

std::string SQimFolder::ChildPath(const char* name) const {
    std::string path;
    MergeFilePath(path, path_, name ? name : "");
    return path;
}

bool SQimFolder::CreateSubfolder(const char* name) {
    if (!IsSingleName(name)) {
        errno = EINVAL;
        return false;
    }
    return platform::CreateDirectory(ChildPath(name).c_str());
}

bool SQimFolder::MailExists(int number) const {
    if (number <= 0) return false;
    return platform::IsRegularFile(MailPath(number).c_str());
}

std::vector<int> SQimFolder::MailNumbers() const {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(path_.c_str(), entries);
    std::vector<int> numbers;
    for (const platform::DirectoryEntry& e : entries) {
        int n = 0;
        if (e.kind == platform::EntryKind::File && IsMailFileName(e.name.c_str(), &n)) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<std::string> SQimFolder::Subfolders() const {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListSubfolders(path_.c_str(), entries);
    std::vector<std::string> names;
    for (platform::DirectoryEntry& e : entries) names.push_back(std::move(e.name));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return SQimComparator::LocaleCompare(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

int SQimFolder::ScanMaxNumber() {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(path_.c_str(), entries);
    // Never below 0: a folder holding only "-3" still numbers its mail from 1.
    long long highest = 0;
    for (const platform::DirectoryEntry& e : entries) {
        const char* name = e.name.c_str();
        if (!IsIntStr(name)) continue;
        errno = 0;
        long long value = std::strtoll(name, nullptr, 10);
        if (errno == ERANGE || value > INT_MAX) value = INT_MAX;
        highest = std::max(highest, value);
    }
    return static_cast<int>(highest);
}

int SQimFolder::LastNumber() { return ScanMaxNumber(); }

unsigned char SQimFolder::GetMarks(int number) {
    const std::uint32_t a = platform::GetFileAttributes(MailPath(number).c_str());
    if (a == platform::INVALID_FILE_ATTRIBUTES) return kMarkError;
    unsigned char marks = kMarkNone;
    if (a & platform::FILE_ATTRIBUTE_ARCHIVE) marks |= kMarkRead;
    if (a & platform::FILE_ATTRIBUTE_READONLY) marks |= kMarkImportant;
    return marks;
}

bool SQimFolder::SetMarks(int number, unsigned char marks) {
    const std::string path = MailPath(number);
    const std::uint32_t a = platform::GetFileAttributes(path.c_str());
    if (a == platform::INVALID_FILE_ATTRIBUTES) return false;
    return platform::SetFileAttributes(path.c_str(), a | AttributesOf(marks));
}

bool SQimFolder::ClearMarks(int number, unsigned char marks) {
    const std::string path = MailPath(number);
    const std::uint32_t a = platform::GetFileAttributes(path.c_str());
    if (a == platform::INVALID_FILE_ATTRIBUTES) return false;
    return platform::SetFileAttributes(path.c_str(), a & ~AttributesOf(marks));
}

bool SQimFolder::RemoveSubfolder(const char* name) {
    if (!IsSingleName(name)) {
        errno = EINVAL;
        return false;
    }
    const std::string sub = ChildPath(name);
    if (!platform::IsDirectory(sub.c_str())) {
        errno = ENOTDIR;
        return false;
    }
    {
        // Pointing a cache folder there makes the cache of a folder that has none.
        SQimCacheFolder folder(sub);
        std::uint64_t size = 0;
        if (platform::FileSize(folder.CachePath().c_str(), &size) && size == 0)
            platform::RemoveFile(folder.CachePath().c_str());
    }
    // Only an empty directory can be removed, whatever it holds.
    return platform::RemoveDirectory(sub.c_str());
}

int MailListState(unsigned char marks, bool inInbox, int number, int firstNew) {
    if (marks == kMarkError) return kStateRead;
    const bool read = (marks & kMarkRead) != 0;
    if (marks & kMarkImportant) return read ? kStateImportantRead : kStateImportantUnread;
    if (read) return kStateRead;
    if (inInbox && firstNew > 0 && number >= firstNew) return kStateNew;
    return kStateUnread;
}

bool IsSameFolderOnDisk(const std::string& a, const std::string& b) {
    if (IsSameDir(a, b)) return true;
    std::string na, nb;
    struct stat sa, sb;
    return platform::ToNativePath(a.c_str(), na) && platform::ToNativePath(b.c_str(), nb) &&
           stat(na.c_str(), &sa) == 0 && stat(nb.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

#include "pop3/SKnownUidls.h"

#include <cerrno>
#include <cstdio>

#include "common/FilePath.h"
#include "platform/AtomicFile.h"
#include "platform/DirectoryList.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "pop3/SUidlListing.h"

namespace {

constexpr const char* kMagic = "QimUidl";
constexpr unsigned kOwnerOnly = 0600;

// Host names are the same in any case.
std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// The account's texts as they stand in the first line: no byte there may end
// or split the line.
std::string Printable(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) c = '?';
    }
    return out;
}

bool ReadWhole(const std::string& path, std::string& data) {
    FILE* fp = platform::OpenFile(path.c_str(), "rb");
    if (!fp) return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, fp)) > 0) {
        data.append(buffer, n);
        if (data.size() > SKnownUidls::kMaxFileSize) break;
    }
    const bool ok = std::ferror(fp) == 0;
    std::fclose(fp);
    return ok && data.size() <= SKnownUidls::kMaxFileSize;
}

}  // namespace

SKnownUidls::SKnownUidls(const std::string& folder, const std::string& user, const std::string& server, int port)
    : folder_(folder), user_(user), server_(Lower(server)), port_(port) {
    MergeFilePath(path_, folder_, FileNameFor(user, server, port));
}

std::string SKnownUidls::FileNameFor(const std::string& user, const std::string& server, int port) {
    std::string key = user;
    key.push_back('\0');
    key.append(Lower(server));
    key.push_back('\0');
    key.append(std::to_string(port));
    char name[40];
    std::snprintf(name, sizeof name, "UIDL%016llX.TXT", static_cast<unsigned long long>(Fnv1a(key)));
    return name;
}

std::string SKnownUidls::AccountLine() const {
    std::string line = kMagic;
    line.append("\t").append(Printable(user_)).append("\t").append(Printable(server_));
    line.append("\t").append(std::to_string(port_));
    return line;
}

SKnownUidls::LoadResult SKnownUidls::Load() {
    ids_.clear();
    set_.clear();
    RemoveSaveLeftovers();
    if (!platform::PathExists(path_.c_str())) return LoadResult::NoFile;
    std::string data;
    if (!platform::IsRegularFile(path_.c_str()) || !ReadWhole(path_, data)) return LoadResult::Broken;
    const std::string first = AccountLine() + "\r\n";
    if (data.compare(0, first.size(), first) != 0) return LoadResult::Broken;
    std::size_t pos = first.size();
    while (pos < data.size()) {
        const std::size_t end = data.find("\r\n", pos);
        if (end == std::string::npos) return LoadResult::Broken;
        const std::string uid = data.substr(pos, end - pos);
        if (!IsValidUid(uid)) return LoadResult::Broken;
        Add(uid);
        pos = end + 2;
    }
    return LoadResult::Loaded;
}

bool SKnownUidls::Save() {
    std::string data = AccountLine();
    data.append("\r\n");
    for (const std::string& id : ids_) data.append(id).append("\r\n");
    errno = 0;
    if (platform::ReplaceFileContents(path_.c_str(), data, kOwnerOnly)) return true;
    error_ = errno ? errno : EIO;
    return false;
}

void SKnownUidls::Add(const std::string& uid) {
    if (set_.insert(uid).second) ids_.push_back(uid);
}

bool SKnownUidls::KeepOnly(const std::unordered_set<std::string>& present) {
    const std::size_t before = ids_.size();
    std::vector<std::string> kept;
    kept.reserve(ids_.size());
    for (std::string& id : ids_) {
        if (present.count(id) != 0) kept.push_back(std::move(id));
        else set_.erase(id);
    }
    ids_ = std::move(kept);
    return ids_.size() != before;
}

// A save writes "<name>.XXXXXX" beside the file and renames it; a process
// killed in between leaves that name behind.
void SKnownUidls::RemoveSaveLeftovers() const {
    const std::string name = FileNameFor(user_, server_, port_);
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(folder_.c_str(), entries);
    for (const platform::DirectoryEntry& e : entries) {
        if (e.kind != platform::EntryKind::File || e.symlink) continue;
        if (e.name.size() != name.size() + 7 || e.name.compare(0, name.size() + 1, name + ".") != 0) continue;
        std::string leftover;
        MergeFilePath(leftover, folder_, e.name);
        platform::RemoveFile(leftover.c_str());
    }
}

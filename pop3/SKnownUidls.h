// The unique ids of one POP3 account's messages that are already in the
// inbox, kept while mail stays on the server so that the next receive does not
// store them again. One file per account in the inbox folder (the home
// directory), named by a hash of the account (user name, server, port) so that
// no setting can steer it anywhere else; replaced atomically after each change.
//
// The file: CR LF lines, the first "QimUidl" and the account, then one id a
// line in the order received. Anything else in it means it was not written
// here: it is reported as broken, never taken in part.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class SKnownUidls {
public:
    enum class LoadResult { Loaded, NoFile, Broken };

    // Larger files are taken for broken (a million ids of the longest kind fit).
    static constexpr std::uint64_t kMaxFileSize = 80u << 20;

    SKnownUidls(const std::string& folder, const std::string& user, const std::string& server, int port);

    // Reads the file; NoFile leaves the list empty (the first receive), Broken
    // too (unreadable, too large, or not in the form above). Also removes the
    // temporary file a process that died while saving left behind.
    LoadResult Load();
    // Replaces the file with the list. False with Error() set.
    bool Save();

    bool Contains(const std::string& uid) const { return set_.count(uid) != 0; }
    // `uid` must satisfy IsValidUid.
    void Add(const std::string& uid);
    // Drops the ids not in `present` (the server no longer has those
    // messages). True when any went.
    bool KeepOnly(const std::unordered_set<std::string>& present);
    std::size_t Size() const { return ids_.size(); }

    const std::string& Path() const { return path_; }
    int Error() const { return error_; }

    // "UIDL" and 16 hexadecimal digits of the account's hash, ".TXT".
    static std::string FileNameFor(const std::string& user, const std::string& server, int port);

private:
    std::string AccountLine() const;
    void RemoveSaveLeftovers() const;

    std::string folder_;
    std::string user_;
    std::string server_;
    int port_;
    std::string path_;
    std::vector<std::string> ids_;
    std::unordered_set<std::string> set_;
    int error_ = 0;
};

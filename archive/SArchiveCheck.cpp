#include "archive/SArchiveCheck.h"

#include <cerrno>
#include <cstring>
#include <set>

#include "archive/SCrc16.h"
#include "config/QimStringIds.h"
#include "config/QimNotices.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "store/SQimFolder.h"

namespace {

// Compares a file with bytes in memory, a block at a time.
bool SameBytes(const std::string& path, const std::vector<unsigned char>& data, bool& readable, std::uint16_t& crc) {
    readable = false;
    crc = 0;
    FILE* fp = platform::OpenFile(path.c_str(), "rb");
    if (!fp) return false;
    readable = true;
    std::vector<unsigned char> block(65536);
    std::size_t at = 0;
    bool same = true;
    while (std::size_t n = std::fread(block.data(), 1, block.size(), fp)) {
        crc = UpdateCrc16(crc, block.data(), n);
        if (same && (at + n > data.size() || std::memcmp(block.data(), data.data() + at, n) != 0)) same = false;
        at += n;
    }
    readable = !std::ferror(fp);
    std::fclose(fp);
    return readable && same && at == data.size();
}

}  // namespace

unsigned SArchiveCheck::CheckEntry(void* archive, const UnlhaEntry& entry, const std::string& path) {
    std::uint64_t size = 0;
    if (!platform::FileSize(path.c_str(), &size)) return qimstr::ArchiveFileUnreadable;
    if (entry.originalSize != size) return qimstr::ArchiveEntryWrongSize;
    // The entry is unpacked: its header alone proves nothing about its data.
    std::vector<unsigned char> data(static_cast<std::size_t>(size));
    std::uint64_t written = 0;
    if (library_.extractCurrent(archive, data.data(), size, &written) != UNLHA_OK || written != size)
        return qimstr::ArchiveEntryWrongData;
    bool readable = false;
    std::uint16_t crc = 0;
    const bool same = SameBytes(path, data, readable, crc);
    if (!readable) return qimstr::ArchiveFileUnreadable;
    if (!same || crc != entry.crc) return qimstr::ArchiveEntryWrongData;
    return 0;
}

bool SArchiveCheck::Verify(const std::string& archivePath, const std::string& folder,
                           const std::vector<std::string>& packed, std::vector<std::string>& verified,
                           SNotice& failure) {
    verified.clear();
    const auto fail = [&](unsigned reason, const std::string& name) {
        const SNotice why = name.empty() ? SNotice::Program(reason) : SNotice::Program(reason, {name});
        failure = SNotice::Program(qimstr::ArchiveNotVerified, {archivePath, NoticeText(why)});
        verified.clear();
        return false;
    };
    void* archive = library_.openArchive(owner_, archivePath.c_str(), qimarchive::kUnlhaOpenMode);
    if (!archive) {
        failure = SNotice::Program(qimstr::UnlhaOpenFailed);
        return false;
    }
    const std::set<std::string> wanted(packed.begin(), packed.end());
    std::set<std::string> checked;
    SQimFolder dir(folder);
    UnlhaEntry entry{};
    int result = library_.findFirst(archive, "*.*", &entry);
    unsigned problem = 0;
    std::string problemName;
    for (; result == UNLHA_OK; result = library_.findNext(archive, &entry)) {
        entry.fileName[sizeof entry.fileName - 1] = '\0';
        const std::string name = entry.fileName;
        // Only names of this folder's own files are looked at, so a stored
        // path can never point the deletion outside it.
        if (!SQimFolder::IsSingleName(name.c_str()) || !wanted.count(name)) continue;
        const std::string path = dir.ChildPath(name.c_str());
        if (!platform::PathExists(path.c_str())) continue;  // gone meanwhile: nothing to delete
        if (const unsigned wrong = CheckEntry(archive, entry, path)) {
            problem = wrong;
            problemName = name;
            break;
        }
        if (checked.insert(name).second) verified.push_back(name);
    }
    library_.closeArchive(archive);
    if (problem) return fail(problem, problemName);
    if (result != UNLHA_NOT_FOUND) return fail(qimstr::ArchiveUnreadable, std::string());
    for (const std::string& name : packed)
        if (!checked.count(name) && platform::PathExists(dir.ChildPath(name.c_str()).c_str()))
            return fail(qimstr::ArchiveEntryMissing, name);
    return true;
}

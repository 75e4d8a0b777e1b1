// A folder whose HCACHE.TXT holds anything: the cache loaded, its tail read,
// brought up to date, written back and rebuilt; the rebuild must list the
// folder's mails exactly.
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"

namespace {

constexpr int kMails = 3;

std::string FolderWithMails() {
    const std::string folder = qimfuzz::FreshFolder("folder");
    for (int n = 1; n <= kMails; ++n) {
        const std::string name = "folder/" + std::to_string(n);
        qimfuzz::WriteInput(name.c_str(), "From: a@example.jp\r\nTo: b@example.jp\r\nSubject: s" + std::to_string(n) +
                                              "\r\nDate: Thu, 10 Dec 2026 13:15:00 +0900\r\n\r\nbody\r\n");
    }
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string folder = FolderWithMails();
    const std::string cache = std::string("folder/") + qimstore::kCacheFileName;
    qimfuzz::WriteInput(cache.c_str(), qimfuzz::Bytes(data, size));

    std::vector<SQimMailData> parsed;
    if (SMemCacheFolder::ParseRecords(reinterpret_cast<const char*>(data), size, parsed) > size) __builtin_trap();

    SMemCacheFolder mem;
    mem.SetFolder(folder);
    (void)mem.LastCachedNumber();
    SHeaderData header;
    (void)mem.Find(1, header);
    // What was loaded writes back and loads again as the same records.
    const int loaded = mem.Count();
    if (mem.WriteAll() && mem.Load() && mem.Count() != loaded) __builtin_trap();

    qimfuzz::WriteInput(cache.c_str(), qimfuzz::Bytes(data, size));
    mem.UpdateCache();
    if (!mem.RebuildCache()) return 0;
    if (mem.Count() != kMails) __builtin_trap();
    for (int n = 1; n <= kMails; ++n)
        if (mem.Record(n - 1).number != n) __builtin_trap();
    return 0;
}

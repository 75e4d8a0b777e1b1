// The caches of a server folder holding anything: HCACHE.TXT up to a line
// "--ACACHE--", ACACHE.BIN after it. Marks and sizes are read for every
// number, one is changed, and a header arriving from the server is appended.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "imap/SQimPMemCacheFolder.h"

namespace {

constexpr std::string_view kSeparator = "--ACACHE--\n";

void WriteFile(const std::string& path, std::string_view bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    std::string_view bytes = qimfuzz::Bytes(data, size);
    std::string_view header = bytes, marks;
    if (const std::size_t at = bytes.find(kSeparator); at != std::string_view::npos) {
        header = bytes.substr(0, at);
        marks = bytes.substr(at + kSeparator.size());
    }

    SQimPMemCacheFolder cache(qimfuzz::PrivateDir().c_str());
    if (!cache.MakeDirectory("_QimP\\A")) std::abort();
    cache.SetFolder("_QimP\\A");
    if (!cache.Reset()) std::abort();
    WriteFile(cache.CachePath(), header);
    WriteFile(cache.MarkSizePath(), marks);
    cache.SetFilled(true);

    cache.Load();
    const int last = cache.LastNumber();
    for (int n = 0; n < 300 && n <= last; ++n) {
        (void)cache.GetMark(n);
        (void)cache.GetSize(n);
        (void)cache.GetMarks(n);
    }
    (void)cache.TotalSize();
    cache.SetMark(1, 0x21);
    cache.ClearMark(1, 0x01);
    cache.SetMarks(2, 0x02);

    cache.BeginHeader();
    cache.HeaderLine("From: a@example.jp\r\n");
    cache.HeaderLine("Subject: s\r\n");
    cache.HeaderLine("\r\n");
    // Number 0: the next after the last record, as a fetch of new mail asks.
    cache.EndHeader(0, 123, 0, true);
    cache.Load();
    return 0;
}

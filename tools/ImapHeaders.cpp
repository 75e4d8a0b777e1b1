#include "tools/ImapHeaders.h"

#include <chrono>
#include <cstdio>

#include "imap/SQimPMemCacheFolder.h"
#include "tools/HeaderRows.h"
#include "tools/ImapRunner.h"

namespace qimtool {

bool FetchHeaderRows(ImapRunner& runner, const std::string& folder, bool recent, std::string& rows) {
    SQimPMemCacheFolder cache;
    // An empty cache in a directory of its own, as the window's tree makes them.
    if (!cache.MakeDirectory(folder) || (cache.SetFolder(folder), !cache.Reset())) {
        std::fprintf(stderr, "qimtool: ヘッダーのキャッシュを作れませんでした。\n");
        return false;
    }
    SImap4Request request;
    request.folder = folder;
    request.cache = &cache;
    if (!runner.Run(recent ? qimimap::kOpFetchRecentHeaders : qimimap::kOpFetchHeaders, request)) return false;
    // What the window does when the folder is selected again: the list from the filled cache.
    const auto start = std::chrono::steady_clock::now();
    if (!cache.Load()) {
        std::fprintf(stderr, "qimtool: ヘッダーのキャッシュを読めませんでした。\n");
        return false;
    }
    rows = HeaderRowsNewestFirst(cache.Records(), false);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (runner.Verbose())
        std::fprintf(stderr, "ヘッダー一覧: %d 行 (キャッシュから %.1f ms)\n", cache.Count(), ms);
    return true;
}

}  // namespace qimtool

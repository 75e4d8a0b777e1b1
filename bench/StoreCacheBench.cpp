// The header list of a large folder: loading HCACHE.TXT into the in-memory
// cache, and sorting its rows by date. The folder is QIM_STORE_FOLDER (made
// by bench/make_store_corpus.py; bench/store_scale.sh runs this); without it
// a folder of 100 000 generated records is made in a temporary directory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "store/SQimComparator.h"

namespace {

std::string MakeCacheOnlyFolder() {
    std::string dir = platform::TempDirectory() + "/qimstorebenchXXXXXX";
    if (!mkdtemp(dir.data())) std::abort();
    platform::TextFile out;
    out.Open((dir + "/HCACHE.TXT").c_str(), "w");
    char line[256];
    unsigned seed = 1;
    for (int n = 1; n <= 100000; ++n) {
        seed = seed * 1103515245u + 12345u;
        std::snprintf(line, sizeof line,
                      "%d me@example.jp\n\x8eR\x93\x63\x91\xbe\x98Y <user%d@example.jp>\n"
                      "Re: \x89\xef\x8b\x63\x8e\x91\x97\xbf %d\n%02u.%02u.%02u %02u:%02u\n",
                      n, n % 97, n, (seed >> 8) % 100, (seed >> 4) % 12 + 1, (seed >> 12) % 28 + 1, (seed >> 16) % 24,
                      (seed >> 20) % 60);
        out.Puts(line);
    }
    out.Close();
    return dir;
}

const std::string& Folder() {
    static const std::string folder = [] {
        const char* given = std::getenv("QIM_STORE_FOLDER");
        return given && *given ? std::string(given) : MakeCacheOnlyFolder();
    }();
    return folder;
}

void BM_LoadCache(benchmark::State& state) {
    SMemCacheFolder cache;
    cache.SetFolder(Folder());
    for (auto _ : state) {
        cache.Load();
        benchmark::DoNotOptimize(cache.Count());
    }
    state.counters["records"] = cache.Count();
}

// Sorting the rows of a loaded cache by one column, the loading left out.
void SortRows(benchmark::State& state, int column, int direction) {
    SMemCacheFolder cache(Folder());
    SQimComparator comparator;
    comparator.SetDirection(column, direction);
    std::vector<const SQimMailData*> rows;
    for (auto _ : state) {
        state.PauseTiming();
        rows.clear();
        for (const SQimMailData& r : cache.Records()) rows.push_back(&r);
        state.ResumeTiming();
        comparator.Sort(rows, column);
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_SortByDate(benchmark::State& state) { SortRows(state, qimstore::kColumnDate, qimstore::kDirDescending); }

// What showing the folder costs: point at it (load) and sort by date.
void BM_ShowFolderSortedByDate(benchmark::State& state) {
    for (auto _ : state) {
        SMemCacheFolder cache(Folder());
        std::vector<const SQimMailData*> rows;
        rows.reserve(cache.Records().size());
        for (const SQimMailData& r : cache.Records()) rows.push_back(&r);
        SQimComparator comparator;
        comparator.SetDirection(qimstore::kColumnDate, qimstore::kDirDescending);
        comparator.Sort(rows, qimstore::kColumnDate);
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_SortByThread(benchmark::State& state) {
    SortRows(state, qimstore::kColumnSubject, qimstore::kDirThreadAscending);
}

}  // namespace

BENCHMARK(BM_LoadCache)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ShowFolderSortedByDate)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortByThread)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();

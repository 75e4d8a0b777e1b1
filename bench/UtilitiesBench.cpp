// The utilities on the paths that scale with a folder: reading the Date of
// 100 000 mails into date keys (header cache rebuild), sorting 100 000 keys
// by date (header list), and converting a server's folder list of 2 000
// names to and from modified UTF-7.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "common/InetDate.h"
#include "common/ModifiedUTF7.h"

namespace {

constexpr int kMails = 100000;

const std::vector<std::string>& DateFields() {
    static const std::vector<std::string> dates = [] {
        std::mt19937 rng(1);
        std::vector<std::string> out;
        for (int i = 0; i < kMails; ++i) {
            std::time_t when = 800000000 + static_cast<std::time_t>(rng() % 1000000000u);
            std::tm t{};
            gmtime_r(&when, &t);
            out.push_back(DateToInetDate(t));
        }
        return out;
    }();
    return dates;
}

void BM_DateFieldsToKeys(benchmark::State& state) {
    const auto& dates = DateFields();
    char key[kDateKeySize];
    for (auto _ : state) {
        for (const std::string& d : dates) {
            std::tm t{};
            InetDateToDate(d.c_str(), &t);
            benchmark::DoNotOptimize(FormatDateKey(t, key));
        }
    }
    state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_DateFieldsToKeys)->Unit(benchmark::kMillisecond);

// The same work through glibc's strptime and strftime, for scale.
void BM_DateFieldsToKeysGlibc(benchmark::State& state) {
    const auto& dates = DateFields();
    char key[kDateKeySize];
    for (auto _ : state) {
        for (const std::string& d : dates) {
            std::tm t{};
            strptime(d.c_str(), "%a, %d %b %Y %H:%M:%S", &t);
            benchmark::DoNotOptimize(std::strftime(key, sizeof key, "%y.%m.%d %H:%M", &t));
        }
    }
    state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_DateFieldsToKeysGlibc)->Unit(benchmark::kMillisecond);

void BM_SortKeysByDate(benchmark::State& state) {
    std::vector<std::string> keys;
    char key[kDateKeySize];
    for (const std::string& d : DateFields()) {
        std::tm t{};
        InetDateToDate(d.c_str(), &t);
        keys.emplace_back(FormatDateKey(t, key));
    }
    for (auto _ : state) {
        std::vector<const char*> rows;
        for (const std::string& k : keys) rows.push_back(k.c_str());
        std::sort(rows.begin(), rows.end(), [](const char* a, const char* b) { return CompareDate(a, b) < 0; });
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_SortKeysByDate)->Unit(benchmark::kMillisecond);

// Plain strcmp order, the floor for any date order over the same keys.
void BM_SortKeysStrcmp(benchmark::State& state) {
    std::vector<std::string> keys;
    char key[kDateKeySize];
    for (const std::string& d : DateFields()) {
        std::tm t{};
        InetDateToDate(d.c_str(), &t);
        keys.emplace_back(FormatDateKey(t, key));
    }
    for (auto _ : state) {
        std::vector<const char*> rows;
        for (const std::string& k : keys) rows.push_back(k.c_str());
        std::sort(rows.begin(), rows.end(), [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_SortKeysStrcmp)->Unit(benchmark::kMillisecond);

void BM_FolderNamesModifiedUtf7(benchmark::State& state) {
    const char* parts[] = {"INBOX", "\x8E\x64\x8E\x96", "2026", "\x93\xFA\x96\x7B\x8C\xEA", "a&b",
                           "\x8E\xF3\x90\x4D", "ML", "\x83\x65\x83\x58\x83\x67"};
    std::mt19937 rng(2);
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i) {
        std::string n;
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k) n += parts[rng() % 8];
        names.push_back(n);
    }
    std::string encoded, back;
    for (auto _ : state) {
        for (const std::string& n : names) {
            ModifiedUTF7::Encode(n, encoded);
            ModifiedUTF7::Decode(encoded, back);
            benchmark::DoNotOptimize(back.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(names.size()));
}
BENCHMARK(BM_FolderNamesModifiedUtf7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

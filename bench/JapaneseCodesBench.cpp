// Throughput of Sjis2Jis and Jis2Sjis over 50 MB of generated mail text
// (JIS X 0208 kanji and kana mixed with ASCII, CR LF lines).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "common/JapaneseCodes.h"

namespace {

constexpr std::size_t kCorpusBytes = 50u << 20;

// One Shift_JIS character from a JIS X 0208 cell.
void AppendCell(std::string& out, int j1, int j2) {
    char jis[] = {0x1B, '$', 'B', static_cast<char>(j1), static_cast<char>(j2), 0x1B, '(', 'B', 0};
    char sjis[9];
    int n = Jis2Sjis(sjis, reinterpret_cast<const unsigned char*>(jis));
    out.append(sjis, static_cast<std::size_t>(n));
}

const std::string& SjisCorpus() {
    static const std::string corpus = [] {
        std::mt19937 rng(42);
        std::string text;
        text.reserve(kCorpusBytes + 256);
        const char* words[] = {"Subject: ", "Re: ", "meeting ", "Qim ", "2026 ", "http://example.jp/ ", "OK. "};
        while (text.size() < kCorpusBytes) {
            int pieces = 1 + static_cast<int>(rng() % 10);
            for (int p = 0; p < pieces; ++p) {
                switch (rng() % 3) {
                case 0:  // kanji of level 1
                    for (int k = 1 + static_cast<int>(rng() % 6); k > 0; --k)
                        AppendCell(text, 0x30 + static_cast<int>(rng() % 0x20), 0x21 + static_cast<int>(rng() % 94));
                    break;
                case 1:  // hiragana
                    for (int k = 1 + static_cast<int>(rng() % 6); k > 0; --k)
                        AppendCell(text, 0x24, 0x21 + static_cast<int>(rng() % 83));
                    break;
                default:
                    text += words[rng() % 7];
                }
            }
            text += "\r\n";
        }
        return text;
    }();
    return corpus;
}

const std::string& JisCorpus() {
    static const std::string corpus = [] {
        const std::string& sjis = SjisCorpus();
        std::string jis(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 1,
                        '\0');
        jis.resize(static_cast<std::size_t>(Sjis2Jis(jis.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()))));
        return jis;
    }();
    return corpus;
}

void BM_Sjis2Jis(benchmark::State& state) {
    const std::string& in = SjisCorpus();
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(in.c_str()))) + 1, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(in.c_str())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_LengthAsJis(benchmark::State& state) {
    const std::string& in = SjisCorpus();
    for (auto _ : state) benchmark::DoNotOptimize(LengthAsJis(reinterpret_cast<const unsigned char*>(in.c_str())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_Jis2Sjis(benchmark::State& state) {
    const std::string& in = JisCorpus();
    std::string out(in.size() + 1, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(Jis2Sjis(out.data(), reinterpret_cast<const unsigned char*>(in.c_str())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

BENCHMARK(BM_Sjis2Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LengthAsJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jis2Sjis)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

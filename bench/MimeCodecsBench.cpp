// Throughput of the body codecs: the base64 line decoder and encoder in memory,
// the quoted-printable byte decoder, and whole-file decoding of a 32 MB
// attachment (the path `qimtool base64 decode` and attachment saving take).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "common/SMimeBase64.h"
#include "common/SMimeQuotedPrintable.h"

namespace {

std::string RandomBytes(std::size_t length) {
    std::mt19937 rng(7);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
}

void Base64DecodeLine(benchmark::State& state) {
    std::string raw = RandomBytes(54);
    char line[80];
    SMimeBase64::EncodeBinary(reinterpret_cast<const unsigned char*>(raw.data()), line, 54);
    unsigned char out[64];
    for (auto _ : state) benchmark::DoNotOptimize(SMimeBase64::DecodeBinary(line, out, false));
    state.SetBytesProcessed(state.iterations() * 72);
}
BENCHMARK(Base64DecodeLine);

void Base64EncodeChunk(benchmark::State& state) {
    std::string raw = RandomBytes(SMimeBase64::kEncodeChunk);
    char text[SMimeBase64::EncodedLinesLength(SMimeBase64::kEncodeChunk) + 1];
    for (auto _ : state)
        benchmark::DoNotOptimize(SMimeBase64::EncodeToLines(reinterpret_cast<const unsigned char*>(raw.data()), text,
                                                            SMimeBase64::kEncodeChunk));
    state.SetBytesProcessed(state.iterations() * SMimeBase64::kEncodeChunk);
}
BENCHMARK(Base64EncodeChunk);

void QuotedPrintableDecodeLine(benchmark::State& state) {
    std::string line = "Japanese =82=A0=82=A2 text with some escapes =3D and plain words, 76 columns.";
    unsigned char out[128];
    SMimeQuotedPrintable codec;
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.DecodeBinary(reinterpret_cast<const unsigned char*>(line.c_str()), out));
    state.SetBytesProcessed(state.iterations() * static_cast<long>(line.size()));
}
BENCHMARK(QuotedPrintableDecodeLine);

// Encodes 32 MB into a temporary file once, then decodes it file to file.
void Base64DecodeFile(benchmark::State& state) {
    constexpr std::size_t kBytes = 32u << 20;
    char folder[] = "/tmp/qimbench.XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string raw = std::string(folder) + "/raw", text = std::string(folder) + "/b64",
                out = std::string(folder) + "/out";
    std::string bytes = RandomBytes(kBytes);
    FILE* fp = std::fopen(raw.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), fp);
    std::fclose(fp);
    SMimeBase64 codec;
    codec.EncodeFile(raw.c_str(), text.c_str(), false);
    for (auto _ : state) benchmark::DoNotOptimize(codec.DecodeFile(text.c_str(), out.c_str(), false));
    state.SetBytesProcessed(state.iterations() * static_cast<long>(kBytes));
    unlink(raw.c_str());
    unlink(text.c_str());
    unlink(out.c_str());
    rmdir(folder);
}
BENCHMARK(Base64DecodeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

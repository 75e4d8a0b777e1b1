// The MIME walk on large and hostile messages: listing the parts of a mail with
// a 20 MB attachment (flat and three multiparts deep), writing its viewable
// copy, and the walk over 10 000 nested multiparts and over 100 000 tiny parts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/SAnalizeMimeMail.h"
#include "common/SDistMimeMail.h"
#include "common/SMimeBase64.h"

namespace {

class Folder {
public:
    Folder() {
        if (!mkdtemp(path_)) path_[0] = '\0';
    }
    ~Folder() {
        for (const std::string& f : files_) std::remove(f.c_str());
        if (path_[0]) rmdir(path_);
    }
    bool Ok() const { return path_[0] != '\0'; }
    std::string Write(const std::string& name, const std::string& data) {
        std::string file = File(name);
        if (FILE* fp = std::fopen(file.c_str(), "wb")) {
            std::fwrite(data.data(), 1, data.size(), fp);
            std::fclose(fp);
        }
        return file;
    }
    std::string File(const std::string& name) {
        files_.push_back(std::string(path_) + "/" + name);
        return files_.back();
    }

private:
    char path_[32] = "/tmp/qimbench.XXXXXX";
    std::vector<std::string> files_;
};

// Base64 of `bytes` random bytes in lines of 72 characters ending CR LF.
std::string Base64Body(std::size_t bytes) {
    std::mt19937 rng(11);
    std::string raw(bytes, '\0');
    for (char& c : raw) c = static_cast<char>(rng());
    std::string text(SMimeBase64::EncodedLinesLength(static_cast<int>(bytes)) + 1, '\0');
    text.resize(SMimeBase64::EncodeToLines(reinterpret_cast<const unsigned char*>(raw.data()), text.data(),
                                           static_cast<int>(bytes)));
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 72 + 2);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

// A text part and a 20 MB attachment, inside `depth` multiparts.
std::string BigMail(int depth) {
    std::string head = "MIME-Version: 1.0\r\n", tail;
    for (int i = 0; i < depth; ++i) {
        const std::string b = std::string("b") += std::to_string(i);
        head += "Content-Type: multipart/mixed; boundary=\"" + b + "\"\r\n\r\n--" + b + "\r\n";
        if (i == depth - 1) head += "Content-Type: text/plain\r\n\r\nsee attached\r\n--" + b + "\r\n";
        std::string closing = "\r\n--";
        closing += b;
        closing += "--\r\n";
        tail.insert(0, closing);
    }
    return head + "Content-Type: application/octet-stream; name=big.bin\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           Base64Body(20u << 20) + tail;
}

class Mail : public SDistMimeMail {
public:
    explicit Mail(const std::string& path) : SDistMimeMail(nullptr, path.c_str()) {}
    bool ActionPart(FILE*, long, long, const SMimePart&) override { return true; }
};

void AnalyseBigMail(benchmark::State& state) {
    Folder folder;
    const std::string path = folder.Write("mail", BigMail(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        std::vector<SDecodeBand> bands;
        SAnalizeMimeMail analysis;
        if (!analysis.AnalizeMimeMail(path.c_str(), &bands) || bands.size() != 2) state.SkipWithError("walk failed");
        benchmark::DoNotOptimize(bands.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(BigMail(0).size()));
}
BENCHMARK(AnalyseBigMail)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void ViewCopyOfBigMail(benchmark::State& state) {
    Folder folder;
    const std::string path = folder.Write("mail", BigMail(1));
    const std::string view = folder.File("view");
    const std::string scratch = folder.File("scratch");
    Mail mail(path);
    if (!mail.AnalizeMimeMail()) state.SkipWithError("walk failed");
    for (auto _ : state) {
        if (!mail.MakeOmitBinaryFile(view.c_str(), scratch.c_str())) state.SkipWithError("copy failed");
    }
}
BENCHMARK(ViewCopyOfBigMail)->Unit(benchmark::kMillisecond);

void NestedTenThousand(benchmark::State& state) {
    std::string mail = "MIME-Version: 1.0\r\n";
    for (int i = 0; i < 10000; ++i)
        mail += "Content-Type: multipart/mixed; boundary=\"n" + std::to_string(i) + "\"\r\n\r\n--n" +
                std::to_string(i) + "\r\n";
    mail += "Content-Type: text/plain\r\n\r\ndeep\r\n";
    for (int i = 9999; i >= 0; --i) mail += std::string("--n") += std::to_string(i) += "--\r\n";
    Folder folder;
    const std::string path = folder.Write("mail", mail);
    for (auto _ : state) {
        std::vector<SDecodeBand> bands;
        SAnalizeMimeMail analysis;
        benchmark::DoNotOptimize(analysis.AnalizeMimeMail(path.c_str(), &bands));
    }
    state.counters["bytes"] = static_cast<double>(mail.size());
}
BENCHMARK(NestedTenThousand)->Unit(benchmark::kMillisecond);

// Past the part limit the walk stops: the cost of a mail made of tiny parts.
void HundredThousandTinyParts(benchmark::State& state) {
    std::string mail = "Content-Type: multipart/mixed; boundary=t\r\n\r\n";
    for (int i = 0; i < 100000; ++i) mail += "--t\r\n\r\nx\r\n";
    mail += "--t--\r\n";
    Folder folder;
    const std::string path = folder.Write("mail", mail);
    for (auto _ : state) {
        std::vector<SDecodeBand> bands;
        SAnalizeMimeMail analysis;
        if (analysis.AnalizeMimeMail(path.c_str(), &bands) || bands.size() != SMimeMail::kMaxLeafParts)
            state.SkipWithError("the part limit did not hold");
    }
}
BENCHMARK(HundredThousandTinyParts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

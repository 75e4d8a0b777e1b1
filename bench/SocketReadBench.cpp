// Throughput of the socket line reader: raw and Shift_JIS lines from a
// receive layer that hands out 10 240-byte chunks of mail text, and whole
// transfers over loopback through the platform socket next to a bare
// QTcpSocket that only drains the bytes.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstring>
#include <random>
#include <string>

#include "common/JapaneseCodes.h"
#include "common/SSocketRead.h"
#include "platform/qt/StreamSocket.h"

namespace {

constexpr std::size_t kCorpusBytes = 32u << 20;

// Mail lines in ISO-2022-JP: ASCII words and kanji runs, now and then a line
// longer than the line buffer.
const std::string& JisCorpus() {
    static const std::string corpus = [] {
        std::mt19937 rng(7);
        std::string text;
        text.reserve(kCorpusBytes + 4096);
        while (text.size() < kCorpusBytes) {
            const int length = rng() % 50 == 0 ? 1500 : 20 + static_cast<int>(rng() % 60);
            std::string line;
            while (static_cast<int>(line.size()) < length) {
                if (rng() % 2) {
                    line += "word ";
                } else {
                    line += "\x1B$B";
                    for (int k = 1 + static_cast<int>(rng() % 8); k > 0; --k) {
                        line += static_cast<char>(0x30 + rng() % 0x20);
                        line += static_cast<char>(0x21 + rng() % 94);
                    }
                    line += "\x1B(B";
                }
            }
            text += line + "\r\n";
        }
        return text;
    }();
    return corpus;
}

class CorpusSocket : public SStreamSocket {
public:
    explicit CorpusSocket(const std::string& text) : text_(text) {}
    int Recv(char* buffer, int size) override {
        if (pos_ >= text_.size()) return 0;
        const std::size_t n = std::min(static_cast<std::size_t>(size), text_.size() - pos_);
        std::memcpy(buffer, text_.data() + pos_, n);
        pos_ += n;
        return static_cast<int>(n);
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

template <bool Sjis>
void BM_ReadLines(benchmark::State& state) {
    const std::string& corpus = JisCorpus();
    for (auto _ : state) {
        CorpusSocket socket(corpus);
        SSocketRead reader(&socket);
        long lines = 0;
        while (reader.MoveToMyBuffer() && reader.LastReceive() > 0) {
            while ((Sjis ? reader.GetASjisLine() : reader.GetALine()) != nullptr) ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(corpus.size()));
}
BENCHMARK(BM_ReadLines<false>)->Name("GetALine")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLines<true>)->Name("GetASjisLine")->Unit(benchmark::kMillisecond);

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "SocketReadBench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// A peer on 127.0.0.1 that sends the corpus to whoever connects, then closes.
class Sender {
public:
    Sender() {
        server_.listen(QHostAddress(QHostAddress::LocalHost), 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            QTcpSocket* c = server_.nextPendingConnection();
            const std::string& text = JisCorpus();
            c->write(text.data(), static_cast<qint64>(text.size()));
            c->disconnectFromHost();
        });
    }
    int Port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

class LineCounter : public platform::SocketListener {
public:
    explicit LineCounter(platform::StreamSocket& socket) : reader_(&socket) {}
    void OnSocketEvent(int event, int error) override {
        if (event == platform::kSocketClose || error != 0) {
            done = true;
            return;
        }
        if (event == platform::kSocketRead && reader_.MoveToMyBuffer()) {
            while (reader_.GetASjisLine()) ++lines;
        }
    }
    void OnHostLookup(int, int) override {}
    bool done = false;
    long lines = 0;

private:
    SSocketRead reader_;
};

void BM_LoopbackThroughStreamSocket(benchmark::State& state) {
    App();
    Sender sender;
    for (auto _ : state) {
        platform::StreamSocket socket;
        LineCounter counter(socket);
        socket.SetListener(&counter);
        socket.Connect("127.0.0.1", sender.Port());
        while (!counter.done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        benchmark::DoNotOptimize(counter.lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(JisCorpus().size()));
}
BENCHMARK(BM_LoopbackThroughStreamSocket)->Name("LoopbackStreamSocketSjisLines")->Unit(benchmark::kMillisecond);

void BM_LoopbackBareQTcpSocket(benchmark::State& state) {
    App();
    Sender sender;
    for (auto _ : state) {
        QTcpSocket socket;
        qint64 got = 0;
        bool done = false;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&] { got += socket.readAll().size(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [&] {
            got += socket.readAll().size();
            done = true;
        });
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(sender.Port()));
        while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        benchmark::DoNotOptimize(got);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(JisCorpus().size()));
}
BENCHMARK(BM_LoopbackBareQTcpSocket)->Name("LoopbackBareQTcpSocketDrain")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

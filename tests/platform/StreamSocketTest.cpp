#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/SSocketRead.h"
#include "platform/qt/StreamSocket.h"
#include "support/EventLoop.h"

using namespace platform;
using qimtest::RunFor;
using qimtest::RunUntil;

namespace {

constexpr int kLookup = 1327;  // marks a lookup completion in the event log

struct Event {
    int event;
    int error;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) { return os << "{" << e.event << "," << e.error << "}"; }

// Records every notification, runs the test's reaction to it, and checks that
// none arrives while another is being handled or a call is under way.
class Recorder : public SocketListener {
public:
    std::vector<Event> events;
    std::function<void(int event, int error)> react;
    int depth = 0;
    bool reentered = false;

    void OnSocketEvent(int event, int error) override { Handle(event, error); }
    void OnHostLookup(int handle, int error) override {
        lastHandle = handle;
        Handle(kLookup, error);
    }
    // Wraps a call made by the test body itself.
    template <typename F>
    auto Call(F&& f) {
        ++depth;
        auto result = f();
        --depth;
        return result;
    }
    int Count(int event) const {
        int n = 0;
        for (const Event& e : events) n += e.event == event;
        return n;
    }
    int lastHandle = 0;

private:
    void Handle(int event, int error) {
        if (depth > 0) reentered = true;
        events.push_back({event, error});
        ++depth;
        if (react) react(event, error);
        --depth;
    }
};

// The other end: a QTcpServer on loopback taking one connection.
class Peer {
public:
    explicit Peer(const QHostAddress& address) {
        listening = server.listen(address, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            conn = server.nextPendingConnection();
            QObject::connect(conn, &QTcpSocket::readyRead, conn, [this] { Drain(); });
            if (onAccept) onAccept(conn);
        });
    }
    int Port() const { return server.serverPort(); }
    void Pause() {
        reading = false;
        if (conn) conn->setReadBufferSize(4096);
    }
    void Resume() {
        reading = true;
        if (conn) conn->setReadBufferSize(0);
        Drain();
    }

    QTcpServer server;
    QTcpSocket* conn = nullptr;
    bool listening = false;
    bool reading = true;
    QByteArray received;
    std::function<void(QTcpSocket*)> onAccept;
    std::function<void(QTcpSocket*)> onData;

private:
    void Drain() {
        if (!reading || !conn) return;
        QByteArray data = conn->readAll();
        if (data.isEmpty()) return;
        received += data;
        if (onData) onData(conn);
    }
};

class StreamSocketTest : public testing::Test {
protected:
    void SetUp() override { qimtest::EnsureCoreApp(); }
};

std::vector<std::pair<const char*, QHostAddress>> LoopbackAddresses() {
    return {{"127.0.0.1", QHostAddress(QHostAddress::LocalHost)},
            {"::1", QHostAddress(QHostAddress::LocalHostIPv6)}};
}

TEST_F(StreamSocketTest, ConversationSeesConnectWriteReadCloseInOrderOverIPv4AndIPv6) {
    for (const auto& [text, address] : LoopbackAddresses()) {
        SCOPED_TRACE(text);
        Peer peer(address);
        if (!peer.listening) {
            std::cout << "no listener on " << text << ", skipped\n";
            continue;
        }
        // The greeting goes out at once, so it is waiting before the client
        // has even heard of its connection.
        peer.onAccept = [](QTcpSocket* c) { c->write("+OK hello\r\n"); };
        peer.onData = [&](QTcpSocket* c) {
            if (peer.received == "USER qim\r\n") {
                c->write("+OK fine\r\n");
                c->disconnectFromHost();
            }
        };
        Recorder rec;
        StreamSocket socket(&rec);
        SPop3Read reader(&socket);
        std::vector<std::string> lines;
        bool sent = false;
        rec.react = [&](int event, int error) {
            if (event == kSocketWrite && !sent) sent = socket.Send("USER qim\r\n", 10) == 10;
            if (event == kSocketRead && reader.MoveToMyBuffer()) {
                while (const char* line = reader.GetALine()) lines.push_back(line);
            }
        };
        ASSERT_TRUE(rec.Call([&] { return socket.Connect(text, peer.Port()); }));
        EXPECT_TRUE(rec.events.empty()) << "nothing is delivered inside Connect";
        ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketClose) > 0; }));
        RunFor(50);
        ASSERT_GE(rec.events.size(), 4u);
        EXPECT_EQ(rec.events[0], (Event{kSocketConnect, 0}));
        EXPECT_EQ(rec.events[1], (Event{kSocketWrite, 0}));
        EXPECT_EQ(rec.events[2], (Event{kSocketRead, 0}));
        EXPECT_EQ(rec.events.back(), (Event{kSocketClose, 0}));
        EXPECT_EQ(rec.Count(kSocketClose), 1);
        EXPECT_EQ(rec.Count(kSocketConnect), 1);
        EXPECT_FALSE(rec.reentered);
        EXPECT_EQ(lines, (std::vector<std::string>{"+OK hello\r\n", "+OK fine\r\n"}));
        char byte;
        EXPECT_EQ(socket.Recv(&byte, 1), 0) << "after the peer's close and the last byte";
        EXPECT_EQ(socket.Send("x", 1), -1);
        EXPECT_EQ(socket.LastError(), kWsaEShutdown);
    }
}

TEST_F(StreamSocketTest, GreetingWaitingBeforeTheConnectIsHeardComesAfterConnectAndWrite) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    // Accept and greet without letting the client's side run.
    ASSERT_TRUE(peer.server.waitForNewConnection(5000));
    ASSERT_NE(peer.conn, nullptr);
    peer.conn->write("+OK hello\r\n");
    ASSERT_TRUE(peer.conn->waitForBytesWritten(5000));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketRead) > 0; }));
    EXPECT_EQ(rec.events, (std::vector<Event>{{kSocketConnect, 0}, {kSocketWrite, 0}, {kSocketRead, 0}}));
}

TEST_F(StreamSocketTest, LookupOfLocalhostFindsALoopbackAddressAndConnectByNameFollowsIt) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    Recorder rec;
    StreamSocket socket(&rec);
    int handle = rec.Call([&] { return socket.LookupHost("localhost"); });
    ASSERT_GT(handle, 0);
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kLookup) > 0; }));
    EXPECT_EQ(rec.events[0], (Event{kLookup, 0}));
    EXPECT_EQ(rec.lastHandle, handle);
    const std::vector<std::string>& found = socket.HostAddresses();
    EXPECT_TRUE(std::find(found.begin(), found.end(), "127.0.0.1") != found.end() ||
                std::find(found.begin(), found.end(), "::1") != found.end());

    // The conversation's way: addresses of the lookup, then the connect.
    ASSERT_TRUE(rec.Call([&] { return socket.Connect(socket.HostAddresses(), peer.Port()); }));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketConnect) > 0; }));
    EXPECT_EQ(rec.events[1], (Event{kSocketConnect, 0}));
    socket.Close();

    // By name in one call: the lookup completion first, then the connect.
    rec.events.clear();
    ASSERT_TRUE(rec.Call([&] { return socket.ConnectToHost("localhost", peer.Port()); }));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketWrite) > 0; }));
    ASSERT_GE(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0], (Event{kLookup, 0}));
    EXPECT_EQ(rec.events[1], (Event{kSocketConnect, 0}));
    EXPECT_EQ(rec.events[2], (Event{kSocketWrite, 0}));
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_FALSE(rec.reentered);
}

TEST_F(StreamSocketTest, LookupArgumentsAndCancellation) {
    Recorder rec;
    StreamSocket socket(&rec);
    for (const std::string& bad : {std::string(), std::string("two words"), std::string("\x83\x7A\x83\x58\x83\x67"),
                                  std::string(300, 'a')}) {
        EXPECT_EQ(socket.LookupHost(bad), 0) << bad;
        EXPECT_EQ(socket.LastError(), kWsaEInval);
    }
    int cancelled = socket.LookupHost("localhost");
    ASSERT_GT(cancelled, 0);
    EXPECT_TRUE(socket.CancelLookup(cancelled));
    EXPECT_FALSE(socket.CancelLookup(cancelled));
    {
        StreamSocket gone(&rec);  // destroyed while its lookup runs
        ASSERT_GT(gone.LookupHost("localhost"), 0);
    }
    int literal = socket.LookupHost("::1");
    ASSERT_GT(literal, 0);
    EXPECT_NE(literal, cancelled);
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kLookup) > 0; }));
    RunFor(300);
    EXPECT_EQ(rec.events, (std::vector<Event>{{kLookup, 0}})) << "cancelled and orphaned lookups must stay silent";
    EXPECT_EQ(rec.lastHandle, literal);
    EXPECT_EQ(socket.HostAddresses(), (std::vector<std::string>{"::1"}));
    EXPECT_TRUE(platform::IsNumericHost("127.0.0.1"));
    EXPECT_TRUE(platform::IsNumericHost("::1"));
    EXPECT_FALSE(platform::IsNumericHost("localhost"));
}

int UnusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.serverPort();
}

TEST_F(StreamSocketTest, RefusedConnectionIsOneConnectNotificationWithItsCode) {
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect("127.0.0.1", UnusedPort()));
    ASSERT_TRUE(RunUntil([&] { return !rec.events.empty(); }));
    RunFor(200);
    EXPECT_EQ(rec.events, (std::vector<Event>{{kSocketConnect, kWsaEConnRefused}}));
    char buffer[8];
    EXPECT_EQ(socket.Recv(buffer, sizeof buffer), -1);
    EXPECT_EQ(socket.LastError(), kWsaENotConn);
    EXPECT_EQ(socket.Send("x", 1), -1);
    EXPECT_EQ(socket.LastError(), kWsaENotConn);
}

TEST_F(StreamSocketTest, ConnectTriesTheNextAddressWhenOneIsRefused) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect(std::vector<std::string>{"::1", "127.0.0.1"}, peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return !rec.events.empty(); }));
    EXPECT_EQ(rec.events[0], (Event{kSocketConnect, 0}));
}

TEST_F(StreamSocketTest, ConnectRefusesBadArgumentsAtOnce) {
    Recorder rec;
    StreamSocket socket(&rec);
    struct Case {
        std::vector<std::string> addresses;
        int port;
        int error;
    } cases[] = {
        {{"localhost"}, 110, kWsaEInval},  // names go through a lookup
        {{}, 110, kWsaEInval},
        {{"127.0.0.1", "nonsense"}, 110, kWsaEInval},
        {{"127.0.0.1"}, 0, kWsaEAddrNotAvail},
        {{"127.0.0.1"}, 65536, kWsaEAddrNotAvail},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(socket.Connect(c.addresses, c.port));
        EXPECT_EQ(socket.LastError(), c.error);
    }
    ASSERT_TRUE(socket.Connect("127.0.0.1", UnusedPort()));
    EXPECT_FALSE(socket.Connect("127.0.0.1", 1));
    EXPECT_EQ(socket.LastError(), kWsaEAlready);
    RunUntil([&] { return !rec.events.empty(); });
}

std::string Lines(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += "line " + std::to_string(i) + " " + std::string(i % 97, 'x') + "\r\n";
    return s;
}

TEST_F(StreamSocketTest, PeerClosingMidLineOffersAllItsDataBeforeTheClose) {
    const std::string body = Lines(6000) + "partial line with no end";
    ASSERT_GT(body.size(), static_cast<std::size_t>(StreamSocket::kReadBufferLimit));
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    peer.onAccept = [&](QTcpSocket* c) {
        c->write(body.data(), static_cast<qint64>(body.size()));
        c->disconnectFromHost();
    };
    Recorder rec;
    StreamSocket socket(&rec);
    SSocketRead reader(&socket);
    std::string got;
    int readsAfterClose = 0;
    rec.react = [&](int event, int) {
        if (event == kSocketClose) return;
        if (rec.Count(kSocketClose) > 0) ++readsAfterClose;
        if (event == kSocketRead && reader.MoveToMyBuffer()) {
            while (const char* line = reader.GetALine()) got.append(line, static_cast<std::size_t>(reader.LineLength()));
        }
    };
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketClose) > 0; }));
    RunFor(50);
    EXPECT_EQ(got, body.substr(0, body.rfind('\n') + 1));
    EXPECT_TRUE(reader.HasUnreadBytes() == false);
    EXPECT_EQ(rec.events.back(), (Event{kSocketClose, 0}));
    EXPECT_EQ(readsAfterClose, 0);
    EXPECT_GT(rec.Count(kSocketRead), 1) << "more than one buffer's worth came in several notifications";
    EXPECT_FALSE(rec.reentered);
}

TEST_F(StreamSocketTest, CloseComesEvenWhenTheListenerLeavesDataUnread) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    peer.onAccept = [](QTcpSocket* c) {
        c->write("ignored\r\n");
        c->disconnectFromHost();
    };
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    EXPECT_TRUE(RunUntil([&] { return rec.Count(kSocketClose) > 0; }));
    EXPECT_EQ(socket.BytesWaiting(), 9);
}

TEST_F(StreamSocketTest, PartialSendsDeliverEveryByteOnceAndWaitForRoom) {
    const int window = 4096;
    std::string data(16u << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + (i * 7 + i / 4099) % 26);
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    peer.onAccept = [&](QTcpSocket* c) {
        c->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 65536);
        peer.Pause();
    };
    Recorder rec;
    StreamSocket socket(&rec);
    socket.SetSendWindow(window);
    std::size_t sent = 0;
    int partial = 0;
    int wouldBlock = 0;
    int largest = 0;
    int writesWhileBlocked = 0;
    bool blocked = false;
    rec.react = [&](int event, int) {
        if (event != kSocketWrite) return;
        if (blocked) ++writesWhileBlocked;
        blocked = false;
        while (sent < data.size()) {
            const int ask = static_cast<int>(std::min<std::size_t>(10000, data.size() - sent));
            const int n = socket.Send(data.data() + sent, ask);
            if (n < 0) {
                ASSERT_EQ(socket.LastError(), kWsaEWouldBlock);
                ++wouldBlock;
                blocked = true;
                return;  // the next write notification continues
            }
            largest = std::max(largest, n);
            partial += n < ask;
            sent += static_cast<std::size_t>(n);
        }
    };
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return peer.conn != nullptr && blocked; }));
    // With the peer not reading, the sender stalls instead of queueing it all.
    RunFor(500);
    EXPECT_LT(sent, data.size());
    EXPECT_TRUE(blocked);
    peer.Resume();
    ASSERT_TRUE(RunUntil([&] { return static_cast<std::size_t>(peer.received.size()) == data.size(); }, 60000));
    EXPECT_EQ(sent, data.size());
    EXPECT_TRUE(peer.received.toStdString() == data) << "bytes lost, doubled or reordered";
    EXPECT_LE(largest, window);
    EXPECT_GT(partial, 0);
    EXPECT_GT(wouldBlock, 0);
    EXPECT_FALSE(rec.reentered);
}

TEST_F(StreamSocketTest, RearmPostsOneWriteNotificationAndOffersWaitingData) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketWrite) == 1 && peer.conn; }));
    RunFor(100);
    EXPECT_EQ(rec.Count(kSocketWrite), 1) << "no write notification without a reason";
    rec.Call([&] {
        socket.Rearm();
        socket.Rearm();
        return 0;
    });
    RunFor(100);
    EXPECT_EQ(rec.Count(kSocketWrite), 2) << "two re-arms before the loop ran give one notification";
    EXPECT_EQ(rec.Count(kSocketRead), 0);

    // Data left unread is offered again by a re-arm, once.
    peer.conn->write("+OK\r\n");
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketRead) == 1; }));
    rec.Call([&] {
        socket.Rearm();
        return 0;
    });
    RunFor(100);
    EXPECT_EQ(rec.Count(kSocketRead), 2);
    EXPECT_EQ(rec.Count(kSocketWrite), 3);
    char buffer[16];
    EXPECT_EQ(socket.Recv(buffer, sizeof buffer), 5);
    EXPECT_EQ(socket.Recv(buffer, sizeof buffer), -1);
    EXPECT_EQ(socket.LastError(), kWsaEWouldBlock);
    EXPECT_FALSE(rec.reentered);
}

TEST_F(StreamSocketTest, NothingArrivesAfterCloseAndTheSocketConnectsAgain) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    peer.onAccept = [](QTcpSocket* c) { c->write("+OK\r\n"); };
    Recorder rec;
    StreamSocket socket(&rec);
    // The write notification is already posted when the connect is delivered;
    // closing there must drop it.
    rec.react = [&](int event, int) {
        if (event == kSocketConnect) socket.Close();
    };
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return !rec.events.empty(); }));
    RunFor(200);
    EXPECT_EQ(rec.events, (std::vector<Event>{{kSocketConnect, 0}}));
    EXPECT_FALSE(socket.IsConnected());

    rec.react = nullptr;
    rec.events.clear();
    ASSERT_TRUE(socket.ConnectToHost("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketRead) > 0; }));
    EXPECT_EQ(rec.events[0], (Event{kSocketConnect, 0}));
    EXPECT_EQ(rec.Count(kLookup), 0) << "a literal address needs no lookup";
}

TEST_F(StreamSocketTest, ListenerMayDestroyTheSocketInsideANotification) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    peer.onAccept = [](QTcpSocket* c) { c->write("+OK\r\n"); };
    for (int when : {kSocketConnect, kSocketWrite, kSocketRead}) {
        Recorder rec;
        auto socket = std::make_unique<StreamSocket>(&rec);
        rec.react = [&](int event, int) {
            if (event == when) socket.reset();
        };
        ASSERT_TRUE(socket->Connect("127.0.0.1", peer.Port()));
        ASSERT_TRUE(RunUntil([&] { return socket == nullptr; }));
        RunFor(100);
        EXPECT_EQ(rec.events.back().event, when) << "nothing after the socket is gone";
    }
}

TEST_F(StreamSocketTest, FloodingServerIsHeldAtTheReadLimitAndReadInBoundedPieces) {
    Peer peer(QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(peer.listening);
    const QByteArray flood(1 << 20, 'Z');  // never a line end
    qint64 pushed = 0;
    peer.onAccept = [&](QTcpSocket* c) {
        auto more = [&, c] {
            while (c->bytesToWrite() < (4 << 20) && pushed < (64LL << 20)) {
                c->write(flood);
                pushed += flood.size();
            }
        };
        QObject::connect(c, &QTcpSocket::bytesWritten, c, more);
        more();
    };
    Recorder rec;
    StreamSocket socket(&rec);
    ASSERT_TRUE(socket.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(RunUntil([&] { return rec.Count(kSocketRead) > 0; }));
    RunFor(300);  // the client does not read: the data must not pile up
    EXPECT_LE(socket.BytesWaiting(), StreamSocket::kReadBufferLimit);

    SSocketRead reader(&socket);
    long pieces = 0;
    rec.react = [&](int event, int) {
        if (event != kSocketRead || !reader.MoveToMyBuffer()) return;
        while (reader.GetALine()) {
            ASSERT_TRUE(reader.IsCut());
            ASSERT_EQ(reader.LineLength(), kSocketLineSize);
            ++pieces;
        }
        EXPECT_LE(socket.BytesWaiting(), StreamSocket::kReadBufferLimit);
    };
    socket.Rearm();
    ASSERT_TRUE(RunUntil([&] { return pieces > 8 * 1024; }));  // 8 MB taken in pieces
    socket.Close();
    const std::size_t seen = rec.events.size();
    RunFor(100);
    EXPECT_EQ(rec.events.size(), seen);
}

}  // namespace

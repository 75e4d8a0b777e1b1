#include "platform/qt/StreamSocket.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QNetworkProxy>
#include <QObject>
#include <QTcpSocket>

#include <algorithm>

namespace platform {

namespace {

int CodeOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return kWsaEConnRefused;
    case QAbstractSocket::RemoteHostClosedError: return kWsaEConnReset;
    case QAbstractSocket::HostNotFoundError: return kWsaHostNotFound;
    case QAbstractSocket::SocketAccessError: return kWsaEAccess;
    case QAbstractSocket::SocketResourceError: return kWsaENoBufs;
    case QAbstractSocket::SocketTimeoutError: return kWsaETimedOut;
    case QAbstractSocket::NetworkError: return kWsaENetUnreach;
    case QAbstractSocket::AddressInUseError: return kWsaEAddrInUse;
    case QAbstractSocket::SocketAddressNotAvailableError: return kWsaEAddrNotAvail;
    case QAbstractSocket::UnsupportedSocketOperationError: return kWsaEAfNoSupport;
    default: return kWsaEConnAborted;
    }
}

bool ParseAddress(const std::string& text, QHostAddress* address) {
    return !text.empty() && address->setAddress(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

// Host names are ASCII; anything else could not be meant for the resolver.
bool IsPlausibleHostName(const std::string& host) {
    if (host.empty() || host.size() > 255) return false;
    return std::all_of(host.begin(), host.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

}  // namespace

StreamSocket::StreamSocket(SocketListener* listener)
    : listener_(listener), context_(std::make_unique<QObject>()), alive_(std::make_shared<int>(0)) {}

StreamSocket::~StreamSocket() {
    ResetTransport();
    // Destroying the context drops every notification still posted; answers of
    // lookups still running find this socket gone and are dropped.
}

// Calls the listener; false when it destroyed this socket meanwhile.
bool StreamSocket::Notify(int event, int error) {
    if (!listener_) return true;
    std::weak_ptr<int> alive = alive_;
    listener_->OnSocketEvent(event, error);
    return !alive.expired();
}

int StreamSocket::LookupHost(const std::string& host) {
    if (!IsPlausibleHostName(host)) {
        lastError_ = kWsaEInval;
        return 0;
    }
    // Qt 6.4 leaks the callback of a lookup whose context object dies first, so
    // the answer goes through the application object and checks that this
    // socket still exists.
    QObject* relay = QCoreApplication::instance();
    if (!relay) {
        lastError_ = kWsaNotInitialised;
        return 0;
    }
    if (++nextHandle_ <= 0) nextHandle_ = 1;
    const int handle = nextHandle_;
    lookups_[handle].name = host;
    if (IsNumericHost(host)) {
        QMetaObject::invokeMethod(
            context_.get(), [this, handle, host] { FinishLookup(handle, {host}, 0); }, Qt::QueuedConnection);
        return handle;
    }
    std::weak_ptr<int> alive = alive_;
    auto done = [this, alive, handle](const QHostInfo& info) {
        if (alive.expired()) return;
        std::vector<std::string> found;
        for (const QHostAddress& a : info.addresses()) found.push_back(a.toString().toStdString());
        int error = 0;
        if (info.error() == QHostInfo::HostNotFound) error = kWsaHostNotFound;
        else if (info.error() != QHostInfo::NoError) error = kWsaNoRecovery;
        else if (found.empty()) error = kWsaNoData;
        FinishLookup(handle, found, error);
    };
    QHostInfo::lookupHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())), relay, done);
    return handle;
}

bool StreamSocket::CancelLookup(int handle) {
    auto it = lookups_.find(handle);
    if (it == lookups_.end()) {
        lastError_ = kWsaEInval;
        return false;
    }
    // The resolver is not stopped (Qt 6.4 leaks the callback of an aborted
    // lookup); its answer finds no pending handle and is dropped.
    lookups_.erase(it);
    return true;
}

void StreamSocket::FinishLookup(int handle, const std::vector<std::string>& addresses, int error) {
    auto it = lookups_.find(handle);
    if (it == lookups_.end()) return;  // cancelled
    Lookup lookup = it->second;
    lookups_.erase(it);
    if (error == 0) {
        hostAddresses_ = addresses;
        lookedUpName_ = lookup.name;
    } else {
        hostAddresses_.clear();
        lookedUpName_.clear();
    }
    if (listener_) {
        std::weak_ptr<int> alive = alive_;
        listener_->OnHostLookup(handle, error);
        if (alive.expired()) return;
    }
    if (!lookup.connectAfter || error != 0 || state_ != State::Idle) return;
    if (!Connect(hostAddresses_, lookup.port)) {
        const int failed = lastError_;
        Post([this, failed] { Notify(kSocketConnect, failed); });
    }
}

bool StreamSocket::Connect(const std::string& address, int port) {
    return Connect(std::vector<std::string>{address}, port);
}

bool StreamSocket::Connect(const std::vector<std::string>& addresses, int port) {
    if (state_ != State::Idle) {
        lastError_ = state_ == State::Connecting ? kWsaEAlready : kWsaEIsConn;
        return false;
    }
    if (port < 1 || port > 65535) {
        lastError_ = kWsaEAddrNotAvail;
        return false;
    }
    QHostAddress parsed;
    if (addresses.empty() || !std::all_of(addresses.begin(), addresses.end(),
                                          [&](const std::string& a) { return ParseAddress(a, &parsed); })) {
        lastError_ = kWsaEInval;
        return false;
    }
    targets_ = addresses;
    nextTarget_ = 0;
    port_ = port;
    if (peerName_.empty()) peerName_ = addresses == hostAddresses_ ? lookedUpName_ : addresses.front();
    state_ = State::Connecting;
    StartAttempt();
    return true;
}

bool StreamSocket::ConnectToHost(const std::string& host, int port) {
    if (IsNumericHost(host)) return Connect(host, port);
    if (state_ != State::Idle) {
        lastError_ = state_ == State::Connecting ? kWsaEAlready : kWsaEIsConn;
        return false;
    }
    if (port < 1 || port > 65535) {
        lastError_ = kWsaEAddrNotAvail;
        return false;
    }
    const int handle = LookupHost(host);
    if (handle == 0) return false;
    peerName_ = host;
    lookups_[handle].connectAfter = true;
    lookups_[handle].port = port;
    return true;
}

QTcpSocket* StreamSocket::CreateTransport() { return new QTcpSocket; }

void StreamSocket::StartAttempt() {
    ResetTransport();
    QHostAddress address;
    ParseAddress(targets_[nextTarget_++], &address);
    transport_ = CreateTransport();
    transport_->setReadBufferSize(kReadBufferLimit);
    transport_->setProxy(QNetworkProxy::NoProxy);  // mail servers are reached directly
    AttachTransport();
    transport_->connectToHost(address, static_cast<quint16>(port_));
}

// The transport's signals only record and post; all work runs from the event
// loop, never inside the transport's own emission.
void StreamSocket::AttachTransport() {
    QObject* context = context_.get();
    QObject::connect(transport_, &QTcpSocket::connected, context, [this] {
        Post([this] { OnTransportConnected(); });
    });
    QObject::connect(transport_, &QTcpSocket::errorOccurred, context, [this](QAbstractSocket::SocketError error) {
        const int e = static_cast<int>(error);
        Post([this, e] { HandleTransportError(e); });
    });
    QObject::connect(transport_, &QTcpSocket::disconnected, context, [this] {
        Post([this] { HandlePeerClosed(); });
    });
    QObject::connect(transport_, &QTcpSocket::readyRead, context, [this] { PostRead(); });
    QObject::connect(transport_, &QTcpSocket::bytesWritten, context, [this](qint64) {
        if (writeWanted_ && Room() > 0) PostWrite();
    });
}

void StreamSocket::ResetTransport() {
    if (transport_) {
        QObject::disconnect(transport_, nullptr, context_.get(), nullptr);
        transport_->abort();
        delete transport_;
        transport_ = nullptr;
    }
    ++generation_;
    holdNotifications_ = false;
    readPending_ = false;
    writePending_ = false;
    writeWanted_ = false;
    closePosted_ = false;
}

void StreamSocket::OnTransportConnected() { ReportConnected(); }

void StreamSocket::ReportConnected() {
    if (state_ != State::Connecting) return;
    state_ = State::Connected;
    Post([this] { Notify(kSocketConnect, 0); });
    PostWrite();
    // A greeting that came with the connection is offered after the connect.
    PostRead();
}

void StreamSocket::ReportConnectFailed(int error) {
    // May come from inside a transport signal: the transport is replaced later.
    Post([this, error] { ConnectAttemptFailed(error); });
}

void StreamSocket::ConnectAttemptFailed(int error) {
    if (state_ != State::Connecting) return;
    if (nextTarget_ < targets_.size()) {
        StartAttempt();
        return;
    }
    ResetTransport();
    state_ = State::Idle;
    Post([this, error] { Notify(kSocketConnect, error); });
}

void StreamSocket::HandleTransportError(int qtError) {
    if (OnTransportError(qtError)) return;
    const auto error = static_cast<QAbstractSocket::SocketError>(qtError);
    if (state_ == State::Connecting) {
        ConnectAttemptFailed(CodeOf(error));
    } else if (state_ == State::Connected && error != QAbstractSocket::RemoteHostClosedError) {
        // A broken connection: whatever is still buffered is not offered.
        state_ = State::PeerClosed;
        writeWanted_ = false;
        PostClose(CodeOf(error) == kWsaENetUnreach ? kWsaENetReset : CodeOf(error));
    }
    // RemoteHostClosedError while connected is the peer's orderly close, which
    // the disconnected signal reports.
}

void StreamSocket::HandlePeerClosed() {
    if (OnTransportError(QAbstractSocket::RemoteHostClosedError)) return;
    if (state_ == State::Connecting) {
        ConnectAttemptFailed(kWsaEConnReset);
        return;
    }
    if (state_ != State::Connected) return;
    state_ = State::PeerClosed;
    writeWanted_ = false;
    // The close comes after the data still waiting has been offered.
    if (BytesWaiting() > 0) PostRead();
    else PostClose(0);
}

int StreamSocket::Room() const {
    if (!transport_) return 0;
    return static_cast<int>(std::max<qint64>(0, sendWindow_ - transport_->bytesToWrite()));
}

int StreamSocket::BytesWaiting() const {
    return transport_ ? static_cast<int>(transport_->bytesAvailable()) : 0;
}

void StreamSocket::PostRead() {
    if (readPending_ || (state_ != State::Connected && state_ != State::PeerClosed)) return;
    readPending_ = true;
    Post([this] { DeliverRead(); });
}

void StreamSocket::DeliverRead() {
    readPending_ = false;
    if (holdNotifications_) return;
    if (BytesWaiting() == 0) {
        if (state_ == State::PeerClosed) PostClose(0);
        return;
    }
    const unsigned long receivesBefore = receives_;
    if (!Notify(kSocketRead, 0)) return;
    // After the peer closed, the close follows once the listener has taken the
    // rest, or at once when it took nothing (it would never be offered again).
    if (state_ == State::PeerClosed && (BytesWaiting() == 0 || receives_ == receivesBefore)) PostClose(0);
}

void StreamSocket::PostWrite() {
    if (writePending_ || state_ != State::Connected) return;
    if (Room() <= 0) {
        writeWanted_ = true;
        return;
    }
    writeWanted_ = false;
    writePending_ = true;
    Post([this] { DeliverWrite(); });
}

void StreamSocket::DeliverWrite() {
    writePending_ = false;
    if (state_ != State::Connected || holdNotifications_) return;
    if (Room() <= 0) {
        writeWanted_ = true;
        return;
    }
    Notify(kSocketWrite, 0);
}

void StreamSocket::PostClose(int error) {
    if (closePosted_) return;
    closePosted_ = true;
    Post([this, error] { Notify(kSocketClose, error); });
}

int StreamSocket::Send(const char* data, int length) {
    if (state_ != State::Connected) {
        lastError_ = state_ == State::PeerClosed ? kWsaEShutdown : kWsaENotConn;
        return -1;
    }
    if (length < 0 || (!data && length > 0)) {
        lastError_ = kWsaEInval;
        return -1;
    }
    if (length == 0) return 0;
    const int room = Room();
    if (room <= 0) {
        lastError_ = kWsaEWouldBlock;
        writeWanted_ = true;
        return -1;
    }
    const qint64 taken = transport_->write(data, std::min(length, room));
    if (taken < 0) {
        lastError_ = kWsaENotConn;
        return -1;
    }
    if (taken < length) writeWanted_ = true;
    return static_cast<int>(taken);
}

int StreamSocket::Recv(char* buffer, int size) {
    if (!transport_ || (state_ != State::Connected && state_ != State::PeerClosed)) {
        lastError_ = kWsaENotConn;
        return -1;
    }
    if (size <= 0 || !buffer) {
        lastError_ = kWsaEInval;
        return -1;
    }
    ++receives_;
    // After the peer's close the transport answers -1 once its buffer is empty.
    const qint64 got = transport_->bytesAvailable() > 0 ? transport_->read(buffer, size) : 0;
    if (got < 0) {
        lastError_ = kWsaEConnReset;
        return -1;
    }
    if (got == 0) {
        if (state_ == State::PeerClosed) return 0;
        lastError_ = kWsaEWouldBlock;
        return -1;
    }
    if (BytesWaiting() > 0) PostRead();
    else if (state_ == State::PeerClosed) PostClose(0);
    return static_cast<int>(got);
}

void StreamSocket::Rearm() {
    PostWrite();
    if (BytesWaiting() > 0) PostRead();
}

void StreamSocket::Close() {
    std::erase_if(lookups_, [](const auto& entry) { return entry.second.connectAfter; });
    ResetTransport();
    state_ = State::Idle;
    peerName_.clear();
    targets_.clear();
}

}  // namespace platform

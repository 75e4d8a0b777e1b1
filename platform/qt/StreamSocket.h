// The program's socket for the network conversations, on QTcpSocket and
// QHostInfo (IPv4 and IPv6): it keeps the contract of platform::NetSocket
// (NetSocket.h), order of events included.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QMetaObject>
#include <QObject>

#include "platform/NetSocket.h"

class QTcpSocket;

namespace platform {

class StreamSocket : public NetSocket {
public:
    explicit StreamSocket(SocketListener* listener = nullptr);
    ~StreamSocket() override;
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    void SetListener(SocketListener* listener) override { listener_ = listener; }

    // NetSocket
    int LookupHost(const std::string& host) override;
    bool CancelLookup(int handle) override;
    const std::vector<std::string>& HostAddresses() const override { return hostAddresses_; }
    bool Connect(const std::vector<std::string>& addresses, int port) override;
    int Send(const char* data, int length) override;
    int Recv(char* buffer, int size) override;
    int BytesWaiting() const override;
    void Rearm() override;
    // Also ends a lookup started by ConnectToHost. The socket can connect again.
    void Close() override;
    int LastError() const override { return lastError_; }

    bool Connect(const std::string& address, int port);
    // Connect by name: a literal address connects at once; a name is looked up
    // first (OnHostLookup is delivered; on success the connect follows by
    // itself unless the listener closed the socket or connected it meanwhile).
    bool ConnectToHost(const std::string& host, int port);
    bool IsConnected() const { return state_ == State::Connected; }

    // Most unsent bytes held for the peer; a send beyond this is taken in part.
    void SetSendWindow(int bytes) { sendWindow_ = bytes > 0 ? bytes : 1; }
    static constexpr int kDefaultSendWindow = 64 * 1024;
    // Most received bytes held before the peer is made to wait.
    static constexpr int kReadBufferLimit = 256 * 1024;

protected:
    // The seam for TLS: a subclass returns a QSslSocket here, starts the
    // handshake in OnTransportConnected and calls ReportConnected once the
    // session is encrypted, or ReportConnectFailed (both may be called from
    // inside the transport's signals).
    virtual QTcpSocket* CreateTransport();
    virtual void OnTransportConnected();
    void ReportConnected();
    void ReportConnectFailed(int error);
    QTcpSocket* Transport() const { return transport_; }
    // A transport error, from the event loop: true when the subclass dealt
    // with it (a failed handshake), false for the usual handling.
    virtual bool OnTransportError(int qtError) {
        (void)qtError;
        return false;
    }
    // An attempt failed: the next address is tried, or kSocketConnect reports
    // `error`. From the event loop only.
    void ConnectAttemptFailed(int error);
    // Calls the listener; false when it destroyed this socket meanwhile.
    bool Notify(int event, int error);
    template <typename F>
    void Post(F&& work);
    void PostRead();
    void PostWrite();
    // While set, read and write notifications wait (a handshake is under way);
    // clearing it does not post them again by itself.
    bool holdNotifications_ = false;
    // The host name the connection was made for (given to ConnectToHost, or
    // looked up for the addresses given to Connect), else the literal address;
    // for certificate checks.
    const std::string& PeerName() const { return peerName_; }

private:
    enum class State { Idle, Connecting, Connected, PeerClosed };
    struct Lookup {
        std::string name;
        bool connectAfter = false;
        int port = 0;
    };

    void StartAttempt();
    void AttachTransport();
    void ResetTransport();
    void HandleTransportError(int qtError);
    void HandlePeerClosed();
    void FinishLookup(int handle, const std::vector<std::string>& addresses, int error);
    int Room() const;
    void PostClose(int error);
    void DeliverRead();
    void DeliverWrite();

    SocketListener* listener_;
    std::unique_ptr<QObject> context_;  // receives the posted notifications
    QTcpSocket* transport_ = nullptr;
    std::shared_ptr<int> alive_;        // expires when the socket is destroyed
    State state_ = State::Idle;
    unsigned generation_ = 0;           // posted work of an older connection is dropped
    std::vector<std::string> targets_;
    std::size_t nextTarget_ = 0;
    int port_ = 0;
    std::string peerName_;
    std::vector<std::string> hostAddresses_;
    std::string lookedUpName_;
    std::map<int, Lookup> lookups_;
    int nextHandle_ = 0;
    int lastError_ = 0;
    int sendWindow_ = kDefaultSendWindow;
    bool readPending_ = false;
    bool writePending_ = false;
    bool writeWanted_ = false;
    bool closePosted_ = false;
    unsigned long receives_ = 0;
};

// Work posted for this connection; dropped once the connection is replaced.
template <typename F>
void StreamSocket::Post(F&& work) {
    QMetaObject::invokeMethod(
        context_.get(),
        [this, generation = generation_, work = std::forward<F>(work)]() mutable {
            if (generation == generation_) work();
        },
        Qt::QueuedConnection);
}


}  // namespace platform

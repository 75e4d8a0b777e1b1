// A non-blocking TCP stream socket with notifications, in the manner of the
// socket layer the network conversations were designed on: asynchronous host
// lookup with its own completion, connect, send that may take only part of a
// buffer, receive that never waits, and read / write / connect / close
// notifications delivered from the event loop to one listener. IPv4 and IPv6.
//
// Order of events: a lookup completes on its own (OnHostLookup). After a
// connect, either kSocketConnect with an error (nothing follows), or
// kSocketConnect then kSocketWrite, then kSocketRead whenever data waits, and
// kSocketClose last: without error once the peer's data has been offered after
// its close, with an error code at once when the connection broke. A write
// notification comes after the connect, after Rearm when a send would be taken,
// and after a send that was refused or taken in part, once there is room again.
// Read notifications are never spurious: data waits when one arrives. No
// notification is ever delivered from inside a call of this class, and none
// after Close.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/SStreamSocket.h"
#include "platform/SocketCodes.h"

class QObject;
class QTcpSocket;

namespace platform {

class SocketListener {
public:
    virtual ~SocketListener() = default;
    // `event` is kSocketRead, kSocketWrite, kSocketConnect or kSocketClose;
    // `error` 0 or an error code (SocketCodes.h).
    virtual void OnSocketEvent(int event, int error) = 0;
    // The lookup `handle` has finished: error 0 with StreamSocket::HostAddresses
    // filled, or an error code.
    virtual void OnHostLookup(int handle, int error) = 0;
};

class StreamSocket : public SStreamSocket {
public:
    explicit StreamSocket(SocketListener* listener = nullptr);
    ~StreamSocket() override;
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    void SetListener(SocketListener* listener) { listener_ = listener; }

    // A literal IPv4 (dotted decimal) or IPv6 address.
    static bool IsNumericHost(const std::string& host);
    // Starts an asynchronous lookup; its handle (> 0), or 0 when it cannot start
    // (LastError). A literal address completes as found.
    int LookupHost(const std::string& host);
    // The completion of a cancelled lookup never comes. False when `handle` is
    // not pending.
    bool CancelLookup(int handle);
    // The addresses (literal text) of the last successful lookup, in the order
    // the resolver gave them.
    const std::vector<std::string>& HostAddresses() const { return hostAddresses_; }

    // Starts connecting to literal addresses, tried in turn until one takes.
    // False at once (LastError) for a bad address or port, or when the socket is
    // not idle; otherwise the outcome comes as kSocketConnect.
    bool Connect(const std::string& address, int port);
    bool Connect(const std::vector<std::string>& addresses, int port);
    // Connect by name: a literal address connects at once; a name is looked up
    // first (OnHostLookup is delivered; on success the connect follows by
    // itself unless the listener closed the socket or connected it meanwhile).
    bool ConnectToHost(const std::string& host, int port);

    // Takes as much of `data` as there is room for: the count taken (perhaps
    // fewer than `length`), or -1 with LastError kWsaEWouldBlock when there is
    // no room (a write notification follows once there is), or another code.
    int Send(const char* data, int length);
    // A count, 0 once the peer has closed and everything was read, or -1 with
    // LastError kWsaEWouldBlock when nothing waits (or another code).
    int Recv(char* buffer, int size) override;
    // Bytes received and not yet taken.
    int BytesWaiting() const;
    // Registers the notifications again: a write notification is posted (once
    // there is room to send), and a read notification when data waits.
    void Rearm();
    // Ends the connection (and a lookup started by ConnectToHost); no further
    // notification for it. The socket can connect again.
    void Close();

    int LastError() const { return lastError_; }
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

    template <typename F>
    void Post(F&& work);
    bool Notify(int event, int error);
    void StartAttempt();
    void ConnectAttemptFailed(int error);
    void AttachTransport();
    void ResetTransport();
    void HandleTransportError(int qtError);
    void HandlePeerClosed();
    void FinishLookup(int handle, const std::vector<std::string>& addresses, int error);
    int Room() const;
    void PostRead();
    void PostWrite();
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

}  // namespace platform

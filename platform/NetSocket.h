// The socket a network conversation talks through, in the manner of the
// socket layer the conversations were designed on: asynchronous host lookup
// with its own completion, connect, send that may take only part of a buffer,
// receive that never waits, and read / write / connect / close notifications
// delivered from the event loop to one listener.
//
// Order of events: a lookup completes on its own (OnHostLookup). After a
// connect, either kSocketConnect with an error (nothing follows), or
// kSocketConnect then kSocketWrite, then kSocketRead whenever data waits, and
// kSocketClose last: without error once the peer's data has been offered after
// its close, with an error code at once when the connection broke. A write
// notification comes after the connect, after Rearm when a send would be taken,
// and after a send that was refused or taken in part, once there is room again.
// Read notifications are never spurious: data waits when one arrives. No
// notification is ever delivered from inside a call of the socket, and none
// after Close.
//
// The program's implementation is platform::StreamSocket (Qt); the tests play
// scripted conversations through one of their own.
#pragma once

#include <string>
#include <vector>

#include "common/SStreamSocket.h"
#include "platform/SocketCodes.h"

namespace platform {

// How a connection is secured, set before Connect.
struct TlsPolicy {
    enum class Mode {
        Plain,     // no TLS unless StartTls is called on the connection
        Implicit,  // TLS from the first byte: kSocketConnect comes once it is encrypted
    };
    Mode mode = Mode::Plain;
    // The name the certificate must be issued for (empty: the host connected to).
    std::string peerName;
    // A PEM file of certificates trusted beside the system's (Shift_JIS path; may be empty).
    std::string caFile;
    // SHA-256 fingerprints (as CertificateInfo gives them) the user chose to
    // trust for this host although verification refuses them.
    std::vector<std::string> trustedFingerprints;
};

// The server's certificate as the trust question shows it (Shift_JIS).
struct CertificateInfo {
    std::string subject;
    std::string issuer;
    std::string notBefore;  // "yyyy-MM-dd hh:mm:ss UTC"
    std::string notAfter;
    std::string sha256;     // uppercase hexadecimal byte pairs joined by ':'
};

// What the last TLS handshake of a socket came to.
struct TlsState {
    bool secured = false;
    std::string protocol;  // "TLSv1.3"
    std::string cipher;    // "TLS_AES_256_GCM_SHA384"
    // kTlsUntrusted: the certificate shown and why verification refused it.
    CertificateInfo certificate;
    std::string problem;   // the verification's own texts (English), one a line
};

class SocketListener {
public:
    virtual ~SocketListener() = default;
    // `event` is kSocketRead, kSocketWrite, kSocketConnect or kSocketClose;
    // `error` 0 or an error code (SocketCodes.h).
    virtual void OnSocketEvent(int event, int error) = 0;
    // The lookup `handle` has finished: error 0 with HostAddresses filled, or
    // an error code.
    virtual void OnHostLookup(int handle, int error) = 0;
};

class NetSocket : public SStreamSocket {
public:
    virtual void SetListener(SocketListener* listener) = 0;

    // Starts an asynchronous lookup; its handle (> 0), or 0 when it cannot start
    // (LastError). A literal address completes as found.
    virtual int LookupHost(const std::string& host) = 0;
    // The completion of a cancelled lookup never comes. False when `handle` is
    // not pending.
    virtual bool CancelLookup(int handle) = 0;
    // The addresses (literal text) of the last successful lookup, in the order
    // the resolver gave them.
    virtual const std::vector<std::string>& HostAddresses() const = 0;

    // Starts connecting to literal addresses, tried in turn until one takes.
    // False at once (LastError) for a bad address or port, or when the socket is
    // not idle; otherwise the outcome comes as kSocketConnect.
    virtual bool Connect(const std::vector<std::string>& addresses, int port) = 0;

    // Takes as much of `data` as there is room for: the count taken (perhaps
    // fewer than `length`), or -1 with LastError kWsaEWouldBlock when there is
    // no room (a write notification follows once there is), or another code.
    virtual int Send(const char* data, int length) = 0;
    // Recv (SStreamSocket): a count, 0 once the peer has closed and everything
    // was read, or -1 with LastError kWsaEWouldBlock when nothing waits.
    // Bytes received and not yet taken.
    virtual int BytesWaiting() const = 0;
    // Registers the notifications again: a write notification is posted (once
    // there is room to send), and a read notification when data waits.
    virtual void Rearm() = 0;
    // Ends the connection (and a lookup); no further notification for it.
    virtual void Close() = 0;

    virtual int LastError() const = 0;

    // TLS (none by default: a socket that cannot do it refuses StartTls).
    virtual void SetTlsPolicy(const TlsPolicy& policy) { (void)policy; }
    // Begins the TLS handshake on the connection (STARTTLS, STLS). Bytes the
    // peer sent before are discarded, never offered afterwards: they were not
    // protected. kSocketTls follows with 0 (then kSocketWrite) or an error
    // code; no read or write notification comes in between. False at once
    // (LastError) when the socket is not connected or cannot do TLS.
    virtual bool StartTls() { return false; }
    virtual const TlsState& Tls() const {
        static const TlsState none;
        return none;
    }
};

// A literal IPv4 (dotted decimal) or IPv6 address, which needs no lookup.
bool IsNumericHost(const std::string& host);

}  // namespace platform

// The program's socket with TLS on QSslSocket: plain until asked, TLS from the
// first byte (POP3S, SMTPS, IMAPS) or from StartTls on (STLS, STARTTLS). The
// server's certificate is verified against the system's store and the policy's
// CA file, for the policy's host name; a certificate that fails is accepted only
// when its SHA-256 fingerprint is among the policy's trusted ones.
#pragma once

#include <memory>

#include "platform/qt/StreamSocket.h"

class QSslSocket;

namespace platform {

class TlsStreamSocket : public StreamSocket {
public:
    explicit TlsStreamSocket(SocketListener* listener = nullptr);
    ~TlsStreamSocket() override;

    void SetTlsPolicy(const TlsPolicy& policy) override { policy_ = policy; }
    bool StartTls() override;
    const TlsState& Tls() const override { return tls_; }

protected:
    QTcpSocket* CreateTransport() override;
    void OnTransportConnected() override;
    bool OnTransportError(int qtError) override;

private:
    enum class Handshake { None, Implicit, Negotiated };
    QSslSocket* Ssl() const;
    void BeginHandshake();
    void Encrypted();

    TlsPolicy policy_;
    TlsState tls_;
    Handshake handshake_ = Handshake::None;
    bool rejected_ = false;  // verification refused the certificate in this handshake
    std::unique_ptr<QObject> signals_;
};

}  // namespace platform

#include "platform/qt/TlsStreamSocket.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>

#include <algorithm>

#include "platform/NativePath.h"
#include "platform/qt/QtText.h"

namespace platform {
namespace {

std::string Sjis(const QString& text) {
    std::string out;
    if (FromQString(text, out)) return out;
    // A name with no Shift_JIS form still shows in its ASCII parts.
    FromQString(QString::fromLatin1(text.toLatin1()), out);
    return out;
}

std::string DistinguishedName(const QSslCertificate& cert, bool subject) {
    static const std::pair<QSslCertificate::SubjectInfo, const char*> kParts[] = {
        {QSslCertificate::CommonName, "CN"},
        {QSslCertificate::OrganizationalUnitName, "OU"},
        {QSslCertificate::Organization, "O"},
        {QSslCertificate::LocalityName, "L"},
        {QSslCertificate::StateOrProvinceName, "ST"},
        {QSslCertificate::CountryName, "C"},
    };
    QStringList parts;
    for (const auto& [info, key] : kParts) {
        const QStringList values = subject ? cert.subjectInfo(info) : cert.issuerInfo(info);
        for (const QString& v : values) parts << QString::fromLatin1(key) + QLatin1Char('=') + v;
    }
    return Sjis(parts.join(QStringLiteral(", ")));
}

std::string Utc(const QDateTime& when) {
    return when.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString() + " UTC";
}

CertificateInfo Describe(const QSslCertificate& cert) {
    CertificateInfo info;
    if (cert.isNull()) return info;
    info.subject = DistinguishedName(cert, true);
    info.issuer = DistinguishedName(cert, false);
    info.notBefore = Utc(cert.effectiveDate());
    info.notAfter = Utc(cert.expiryDate());
    info.sha256 = cert.digest(QCryptographicHash::Sha256).toHex(':').toUpper().toStdString();
    return info;
}

}  // namespace

TlsStreamSocket::TlsStreamSocket(SocketListener* listener)
    : StreamSocket(listener), signals_(std::make_unique<QObject>()) {}

TlsStreamSocket::~TlsStreamSocket() = default;

QSslSocket* TlsStreamSocket::Ssl() const { return static_cast<QSslSocket*>(Transport()); }

// Always a QSslSocket: it carries plain bytes until encryption starts.
QTcpSocket* TlsStreamSocket::CreateTransport() {
    auto* ssl = new QSslSocket;
    handshake_ = Handshake::None;
    rejected_ = false;
    tls_ = TlsState();
    QObject::connect(ssl, &QSslSocket::encrypted, signals_.get(), [this] { Post([this] { Encrypted(); }); });
    // Whether to go on must be said inside the signal; the decision only reads
    // the policy and records what it saw.
    QObject::connect(ssl, &QSslSocket::sslErrors, signals_.get(), [this, ssl](const QList<QSslError>& errors) {
        const QSslCertificate cert = ssl->peerCertificate();
        tls_.certificate = Describe(cert);
        const auto& trusted = policy_.trustedFingerprints;
        if (!cert.isNull() && std::find(trusted.begin(), trusted.end(), tls_.certificate.sha256) != trusted.end()) {
            ssl->ignoreSslErrors();
            return;
        }
        QStringList texts;
        for (const QSslError& e : errors) texts << e.errorString();
        tls_.problem = Sjis(texts.join(QLatin1Char('\n')));
        rejected_ = true;
    });
    return ssl;
}

void TlsStreamSocket::OnTransportConnected() {
    if (policy_.mode != TlsPolicy::Mode::Implicit) {
        ReportConnected();
        return;
    }
    handshake_ = Handshake::Implicit;
    BeginHandshake();
}

bool TlsStreamSocket::StartTls() {
    if (!IsConnected() || handshake_ != Handshake::None || Ssl()->isEncrypted()) {
        return false;
    }
    // What came before the handshake was not protected: it is never a reply.
    Transport()->readAll();
    handshake_ = Handshake::Negotiated;
    holdNotifications_ = true;
    BeginHandshake();
    return true;
}

void TlsStreamSocket::BeginHandshake() {
    QSslSocket* ssl = Ssl();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    std::string native;
    if (!policy_.caFile.empty() && ToNativePath(policy_.caFile.c_str(), native))
        config.addCaCertificates(QSslCertificate::fromPath(QString::fromStdString(native), QSsl::Pem));
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    ssl->setSslConfiguration(config);
    const std::string& name = policy_.peerName.empty() ? PeerName() : policy_.peerName;
    ssl->setPeerVerifyName(QString::fromStdString(name));
    rejected_ = false;
    ssl->startClientEncryption();
}

void TlsStreamSocket::Encrypted() {
    const QSslCipher cipher = Ssl()->sessionCipher();
    tls_.secured = true;
    tls_.protocol = cipher.protocolString().toStdString();
    tls_.cipher = cipher.name().toStdString();
    tls_.certificate = Describe(Ssl()->peerCertificate());
    const Handshake was = handshake_;
    handshake_ = Handshake::None;
    if (was == Handshake::Implicit) {
        ReportConnected();
        return;
    }
    holdNotifications_ = false;
    if (!Notify(kSocketTls, 0)) return;
    PostWrite();
    PostRead();
}

bool TlsStreamSocket::OnTransportError(int qtError) {
    if (handshake_ == Handshake::None) return false;
    const Handshake was = handshake_;
    handshake_ = Handshake::None;
    const int code = rejected_ ? kTlsUntrusted
                               : (qtError == QAbstractSocket::SslHandshakeFailedError ? kTlsHandshakeFailed
                                                                                      : kWsaEConnReset);
    if (was == Handshake::Implicit) {
        ConnectAttemptFailed(code);
        return true;
    }
    holdNotifications_ = false;
    Notify(kSocketTls, code);
    return true;
}

}  // namespace platform

// The numbers a network conversation hears from its socket: the notification
// events and the error codes, with the values of Windows Sockets, so that
// conversations keep their documented codes and texts.
#pragma once

namespace platform {

// Notification events (the low word of the socket notification).
constexpr int kSocketRead = 1;
constexpr int kSocketWrite = 2;
constexpr int kSocketConnect = 16;
constexpr int kSocketClose = 32;
// The TLS handshake that StartTls began has ended (error 0: the session is
// encrypted now).
constexpr int kSocketTls = 64;

// Error codes carried by notifications and by StreamSocket::LastError.
constexpr int kWsaEAccess = 10013;
constexpr int kWsaEInval = 10022;
constexpr int kWsaEWouldBlock = 10035;
constexpr int kWsaEAlready = 10037;
constexpr int kWsaEAfNoSupport = 10047;
constexpr int kWsaEAddrInUse = 10048;
constexpr int kWsaEAddrNotAvail = 10049;
constexpr int kWsaENetUnreach = 10051;
constexpr int kWsaENetReset = 10052;
constexpr int kWsaEConnAborted = 10053;
constexpr int kWsaEConnReset = 10054;
constexpr int kWsaENoBufs = 10055;
constexpr int kWsaEIsConn = 10056;
constexpr int kWsaENotConn = 10057;
constexpr int kWsaEShutdown = 10058;
constexpr int kWsaETimedOut = 10060;
constexpr int kWsaEConnRefused = 10061;
constexpr int kWsaEHostUnreach = 10065;
constexpr int kWsaNotInitialised = 10093;
constexpr int kWsaHostNotFound = 11001;
constexpr int kWsaTryAgain = 11002;
constexpr int kWsaNoRecovery = 11003;
constexpr int kWsaNoData = 11004;
// TLS, beyond the codes of Windows Sockets.
constexpr int kTlsHandshakeFailed = 12001;  // no common protocol, a broken peer
constexpr int kTlsUntrusted = 12002;        // the certificate failed verification (TlsState says why)

// A short description of an error code for the socket error box, "Unknown
// error" for a code not listed above.
const char* SocketErrorText(int code);

}  // namespace platform

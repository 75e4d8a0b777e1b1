#include "platform/SocketCodes.h"

namespace platform {

const char* SocketErrorText(int code) {
    switch (code) {
    case 0: return "No error";
    case kTlsHandshakeFailed: return "TLS handshake failed";
    case kTlsUntrusted: return "Server certificate not trusted";
    case kWsaEAccess: return "Permission denied";
    case kWsaEInval: return "Invalid argument";
    case kWsaEWouldBlock: return "Resource temporarily unavailable";
    case kWsaEAlready: return "Operation already in progress";
    case kWsaEAfNoSupport: return "Address family not supported";
    case kWsaEAddrInUse: return "Address already in use";
    case kWsaEAddrNotAvail: return "Cannot assign requested address";
    case kWsaENetUnreach: return "Network is unreachable";
    case kWsaENetReset: return "Network dropped connection on reset";
    case kWsaEConnAborted: return "Software caused connection abort";
    case kWsaEConnReset: return "Connection reset by peer";
    case kWsaENoBufs: return "No buffer space available";
    case kWsaEIsConn: return "Socket is already connected";
    case kWsaENotConn: return "Socket is not connected";
    case kWsaEShutdown: return "Cannot send after socket shutdown";
    case kWsaETimedOut: return "Connection timed out";
    case kWsaEConnRefused: return "Connection refused";
    case kWsaEHostUnreach: return "No route to host";
    case kWsaNotInitialised: return "Network not started (no application object)";
    case kWsaHostNotFound: return "Host not found";
    case kWsaTryAgain: return "Non-authoritative host not found";
    case kWsaNoRecovery: return "This is a non-recoverable error";
    case kWsaNoData: return "Valid name, no data record of requested type";
    default: return "Unknown error";
    }
}

}  // namespace platform

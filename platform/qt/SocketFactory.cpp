#include "platform/qt/SocketFactory.h"

#include "platform/qt/TlsStreamSocket.h"

namespace platform {
namespace {

SocketFactory& Installed() {
    static SocketFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<NetSocket> CreateSocket(SocketListener* listener) {
    if (Installed()) return Installed()(listener);
    return std::make_unique<TlsStreamSocket>(listener);
}

SocketFactory SetSocketFactory(SocketFactory factory) {
    SocketFactory previous = std::move(Installed());
    Installed() = std::move(factory);
    return previous;
}

}  // namespace platform

// Where the network conversations get their sockets: the program's Qt socket,
// or what a test installed in its place (a socket that plays a scenario).
#pragma once

#include <functional>
#include <memory>

#include "platform/NetSocket.h"

namespace platform {

using SocketFactory = std::function<std::unique_ptr<NetSocket>(SocketListener* listener)>;

// A new socket that notifies `listener`.
std::unique_ptr<NetSocket> CreateSocket(SocketListener* listener);
// Installs `factory` (empty: the Qt socket again) and returns the one before.
SocketFactory SetSocketFactory(SocketFactory factory);

}  // namespace platform

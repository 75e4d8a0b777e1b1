#include "platform/NetSocket.h"

#include <arpa/inet.h>

namespace platform {

bool IsNumericHost(const std::string& host) {
    unsigned char address[16];
    return !host.empty() && (inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1);
}

}  // namespace platform

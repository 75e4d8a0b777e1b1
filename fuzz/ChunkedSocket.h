// The receive side of a connection that hands the fuzzer's bytes over in
// chunks of sizes drawn from a seed, then reports the close: the reader sees
// lines and literals split anywhere, as a slow or hostile server splits them.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/SStreamSocket.h"

namespace qimfuzz {

class ChunkedSocket : public SStreamSocket {
public:
    ChunkedSocket(std::string_view bytes, unsigned seed) : bytes_(bytes), state_(seed * 2654435761u + 1) {}

    int Recv(char* buffer, int size) override {
        if (bytes_.empty()) return 0;
        // Every fourth receive finds nothing waiting yet.
        if ((Step() & 3) == 0 && !waited_) {
            waited_ = true;
            return -1;
        }
        waited_ = false;
        const int chunk = 1 + static_cast<int>(Step() % 1500);
        const int n = std::min({size, chunk, static_cast<int>(bytes_.size())});
        std::memcpy(buffer, bytes_.data(), static_cast<std::size_t>(n));
        bytes_.remove_prefix(static_cast<std::size_t>(n));
        return n;
    }
    bool Closed() const { return bytes_.empty(); }

private:
    unsigned Step() {
        state_ = state_ * 1103515245u + 12345u;
        return state_ >> 8;
    }

    std::string_view bytes_;
    unsigned state_;
    bool waited_ = false;
};

}  // namespace qimfuzz

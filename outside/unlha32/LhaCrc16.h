// The CRC-16 of LHA (the IBM / ARC polynomial 0x8005, bit-reversed, from 0):
// over a file's data in its header, and over a level-2 header itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lha {

class LhaCrc16 {
public:
    void Update(const void* data, std::size_t length);
    std::uint16_t Value() const { return crc_; }
    void Reset() { crc_ = 0; }

    static std::uint16_t Of(const void* data, std::size_t length);

private:
    std::uint16_t crc_ = 0;
};

}  // namespace lha

#include "outside/unlha32/LhaCrc16.h"

#include <array>

namespace lha {

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xA001u : r >> 1;
        table[i] = static_cast<std::uint16_t>(r);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

void LhaCrc16::Update(const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    unsigned crc = crc_;
    for (std::size_t i = 0; i < length; ++i) crc = kTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    crc_ = static_cast<std::uint16_t>(crc);
}

std::uint16_t LhaCrc16::Of(const void* data, std::size_t length) {
    LhaCrc16 crc;
    crc.Update(data, length);
    return crc.Value();
}

}  // namespace lha

#include "archive/SCrc16.h"

#include <array>

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

std::uint16_t UpdateCrc16(std::uint16_t crc, const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    unsigned c = crc;
    for (std::size_t i = 0; i < length; ++i) c = kTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return static_cast<std::uint16_t>(c);
}

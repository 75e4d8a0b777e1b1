// The CRC-16 an LHA header keeps of a file's data (polynomial 0x8005,
// bit-reversed, from 0), for checking an archived file against the original.
#pragma once

#include <cstddef>
#include <cstdint>

std::uint16_t UpdateCrc16(std::uint16_t crc, const void* data, std::size_t length);

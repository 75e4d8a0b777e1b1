// Where the archive code takes bytes from and puts them: an archive's
// compressed data as a source, an entry's unpacked data as a sink.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lha {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `length` bytes; 0 at the end or on a read error (Failed()).
    virtual std::size_t Read(std::uint8_t* data, std::size_t length) = 0;
    virtual bool Failed() const { return false; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False stops the work.
    virtual bool Write(const std::uint8_t* data, std::size_t length) = 0;
};

}  // namespace lha

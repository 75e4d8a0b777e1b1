// Bits written most significant first into a byte string, as LHA packs them.
#pragma once

#include <cstdint>
#include <string>

namespace lha {

class LhaBitWriter {
public:
    explicit LhaBitWriter(std::string& out) : out_(out) {}
    // The low `count` bits of `value` (count 0..16).
    void Put(int count, std::uint32_t value) {
        if (count == 0) return;
        acc_ = acc_ << count | (value & ((1u << count) - 1));
        bits_ += count;
        while (bits_ >= 8) {
            bits_ -= 8;
            out_.push_back(static_cast<char>((acc_ >> bits_) & 0xFF));
        }
        acc_ &= (1u << bits_) - 1;
    }
    void Reset() {
        acc_ = 0;
        bits_ = 0;
    }
    // The last byte filled up with zero bits.
    void Flush() {
        if (bits_ > 0) Put(8 - bits_, 0);
    }

private:
    std::string& out_;
    std::uint32_t acc_ = 0;
    int bits_ = 0;
};

}  // namespace lha

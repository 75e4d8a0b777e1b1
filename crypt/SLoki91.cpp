#include "crypt/SLoki91.h"

#include <array>
#include <cstring>

namespace {

// Bit 31 - j of the permuted word is bit kPermutation[j] of its input.
constexpr int kPermutation[32] = {30, 4,  28, 10, 16, 23, 24, 27, 1,  2,  9,  18, 17, 29, 0,  13,
                                  26, 8,  12, 15, 21, 22, 14, 7,  5,  6,  31, 25, 3,  11, 20, 19};

// Reduction polynomial and exponent of each of the 16 S-box rows.
struct SRow {
    unsigned polynomial;
    unsigned exponent;
};
constexpr SRow kSRows[16] = {{375, 31}, {379, 31}, {391, 31}, {395, 31}, {397, 31}, {415, 31},
                             {419, 31}, {425, 31}, {433, 31}, {445, 31}, {451, 31}, {463, 31},
                             {471, 31}, {477, 31}, {487, 31}, {499, 31}};

// Carry-less product of two field elements, reduced by `polynomial`.
unsigned GfMultiply(unsigned a, unsigned b, unsigned polynomial) {
    unsigned product = 0;
    while (b) {
        if (b & 1) product ^= a;
        a <<= 1;
        if (a & 0x100) a ^= polynomial;
        b >>= 1;
    }
    return product;
}

// The S-function for all 4096 inputs, computed once.
const std::array<std::uint8_t, 4096>& STable() {
    static const std::array<std::uint8_t, 4096> table = [] {
        std::array<std::uint8_t, 4096> t{};
        for (unsigned i = 0; i < 4096; ++i) {
            const unsigned r = ((i >> 8) & 0xC) | (i & 3);
            const unsigned c = (i >> 2) & 0xFF;
            const unsigned base = (c + ((r * 17) ^ 0xFF)) & 0xFF;
            t[i] = SLoki91::GfPower(base, kSRows[r].exponent, kSRows[r].polynomial);
        }
        return t;
    }();
    return table;
}

// The permutation split by input byte: entry [n][v] is the permuted word of
// byte n of the input holding v, so a word is permuted with four lookups.
const std::array<std::array<std::uint32_t, 256>, 4>& PermutationTable() {
    static const std::array<std::array<std::uint32_t, 256>, 4> table = [] {
        std::array<std::array<std::uint32_t, 256>, 4> t{};
        for (int n = 0; n < 4; ++n)
            for (std::uint32_t v = 0; v < 256; ++v) t[n][v] = SLoki91::Permute(v << (8 * n));
        return t;
    }();
    return table;
}

std::uint32_t LoadLE(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void StoreLE(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

std::uint32_t RotateLeft(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

}  // namespace

void MakeLokiKey(const std::string& text, unsigned char key[kLokiKeySize]) {
    std::memset(key, 0, kLokiKeySize);
    std::memcpy(key, text.data(), text.size() < kLokiKeySize ? text.size() : kLokiKeySize);
}

std::uint8_t SLoki91::GfPower(unsigned base, unsigned exponent, unsigned polynomial) {
    unsigned result = 1;
    unsigned square = base;
    while (exponent) {
        if (exponent & 1) result = GfMultiply(result, square, polynomial);
        square = GfMultiply(square, square, polynomial);
        exponent >>= 1;
    }
    return static_cast<std::uint8_t>(result);
}

std::uint8_t SLoki91::SFunction(unsigned input12) { return STable()[input12 & 0xFFF]; }

std::uint32_t SLoki91::Permute(std::uint32_t b) {
    std::uint32_t out = 0;
    for (int j = 0; j < 32; ++j) out |= ((b >> kPermutation[j]) & 1u) << (31 - j);
    return out;
}

std::uint32_t SLoki91::RoundFunction(std::uint32_t x, std::uint32_t subkey) {
    const std::array<std::uint8_t, 4096>& s = STable();
    const auto& p = PermutationTable();
    const std::uint32_t a = x ^ subkey;
    return p[0][s[a & 0xFFF]] | p[1][s[(a >> 8) & 0xFFF]] | p[2][s[(a >> 16) & 0xFFF]] |
           p[3][s[(a >> 24) | ((a & 0xF) << 8)]];
}

void SLoki91::SetKey(const unsigned char key[kLokiKeySize]) {
    std::uint32_t k0 = LoadLE(key);
    std::uint32_t k1 = LoadLE(key + 4);
    for (int i = 0; i < 16; i += 4) {
        subkeys_[i] = k1;
        k1 = RotateLeft(k1, 13);
        subkeys_[i + 1] = k1;
        k1 = RotateLeft(k1, 12);
        subkeys_[i + 2] = k0;
        k0 = RotateLeft(k0, 13);
        subkeys_[i + 3] = k0;
        k0 = RotateLeft(k0, 12);
    }
}

void SLoki91::EncryptBlock(unsigned char block[kLokiBlockSize]) const {
    std::uint32_t l = LoadLE(block);
    std::uint32_t r = LoadLE(block + 4);
    for (int i = 0; i < 16; i += 2) {
        r ^= RoundFunction(l, subkeys_[i]);
        l ^= RoundFunction(r, subkeys_[i + 1]);
    }
    StoreLE(block, r);
    StoreLE(block + 4, l);
}

void SLoki91::DecryptBlock(unsigned char block[kLokiBlockSize]) const {
    std::uint32_t l = LoadLE(block);
    std::uint32_t r = LoadLE(block + 4);
    for (int i = 16; i > 0; i -= 2) {
        r ^= RoundFunction(l, subkeys_[i - 1]);
        l ^= RoundFunction(r, subkeys_[i - 2]);
    }
    StoreLE(block, r);
    StoreLE(block + 4, l);
}

std::size_t SLoki91::EncryptBuffer(unsigned char* buffer, std::size_t length) const {
    const std::size_t rounded = (length + kLokiBlockSize - 1) / kLokiBlockSize * kLokiBlockSize;
    std::memset(buffer + length, 0, rounded - length);
    for (std::size_t pos = 0; pos < rounded; pos += kLokiBlockSize) EncryptBlock(buffer + pos);
    return rounded;
}

bool SLoki91::DecryptBuffer(unsigned char* buffer, std::size_t length, std::size_t& plainLength) const {
    plainLength = 0;
    if (length % kLokiBlockSize) return false;
    for (std::size_t pos = 0; pos < length; pos += kLokiBlockSize) DecryptBlock(buffer + pos);
    plainLength = length;
    if (length == 0) return true;
    const std::size_t last = length - kLokiBlockSize;
    for (int i = 0; i < kLokiBlockSize; ++i) {
        if (buffer[last + i] == 0) {
            plainLength = last + i;
            break;
        }
    }
    return true;
}

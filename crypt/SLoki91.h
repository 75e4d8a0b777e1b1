// The block cipher of the mail encryption: a LOKI91-structured Feistel cipher
// on 8-byte blocks with an 8-byte key, 16 rounds, S-boxes computed as powers
// in GF(2^8). Blocks are independent (no chaining); the last short block of a
// buffer is filled with zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kLokiKeySize = 8;
constexpr int kLokiBlockSize = 8;

// A key typed as text: its first 8 bytes, zero bytes after a shorter text.
void MakeLokiKey(const std::string& text, unsigned char key[kLokiKeySize]);

class SLoki91 {
public:
    SLoki91() = default;
    explicit SLoki91(const unsigned char key[kLokiKeySize]) { SetKey(key); }
    virtual ~SLoki91() = default;

    void SetKey(const unsigned char key[kLokiKeySize]);

    void EncryptBlock(unsigned char block[kLokiBlockSize]) const;
    void DecryptBlock(unsigned char block[kLokiBlockSize]) const;

    // Encrypts `length` bytes in place; `buffer` needs room for the length
    // rounded up to a multiple of 8 (the filling is written there). Returns
    // the encrypted length.
    std::size_t EncryptBuffer(unsigned char* buffer, std::size_t length) const;
    // Decrypts in place. False when the length is not a multiple of 8.
    // `plainLength` is the length up to the first zero byte of the last block
    // (the filling), or the whole length when that block has none.
    bool DecryptBuffer(unsigned char* buffer, std::size_t length, std::size_t& plainLength) const;

    // The pieces of the cipher, open for the known-answer tests.
    static std::uint32_t RoundFunction(std::uint32_t x, std::uint32_t subkey);
    static std::uint8_t SFunction(unsigned input12);
    static std::uint32_t Permute(std::uint32_t b);
    static std::uint8_t GfPower(unsigned base, unsigned exponent, unsigned polynomial);
    const std::uint32_t* Subkeys() const { return subkeys_; }

private:
    std::uint32_t subkeys_[16] = {};
};

// The -lh5- compressor: LZSS over an 8 KiB window (hash chains with one step
// of lazy matching) whose literals, lengths and positions go out in blocks,
// each with its own static Huffman tables. Data is fed in pieces; the
// compressed bytes collect in Output() for the caller to take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outside/unlha32/LhaBitWriter.h"
#include "outside/unlha32/LhaFormat.h"

namespace lha {

class Lh5Encoder {
public:
    Lh5Encoder();
    // Ready for a new file.
    void Reset();
    void Feed(const void* data, std::size_t length);
    // Encodes what is left and closes the last block.
    void Finish();
    // Compressed bytes not yet taken; the caller clears what it took.
    std::string& Output() { return out_; }

private:
    struct Match {
        int length = 0;
        int distance = 0;
    };
    void Encode(bool final);
    Match FindMatch(std::int64_t pos) const;
    void Insert(std::int64_t pos);
    std::uint32_t HashAt(std::int64_t pos) const;
    const std::uint8_t* At(std::int64_t pos) const { return buffer_.data() + (pos - base_); }
    void Literal(std::uint8_t byte);
    void Copy(int length, int distance);
    void FlushBlock();
    void WriteLengthTable(const std::uint8_t* lengths, int count, int countBits, int special);
    void WriteCodeTable(const std::uint8_t* codeLengths, const std::uint8_t* tLengths, const std::uint16_t* tCodes);

    std::vector<std::uint8_t> buffer_;
    std::int64_t base_ = 0;  // the file position of buffer_[0]
    std::int64_t end_ = 0;   // the file position after the last byte fed
    std::int64_t pos_ = 0;   // the next position to encode
    Match pending_;          // the match found at pos_ by the last lazy look
    bool hasPending_ = false;
    std::vector<std::int64_t> head_;
    std::vector<std::int64_t> prev_;

    std::vector<std::uint16_t> codes_;      // literal or length code of each symbol
    std::vector<std::uint16_t> positions_;  // distance - 1 of each length code
    std::uint32_t codeFreq_[kCodeCount] = {};
    std::uint32_t positionFreq_[kMaxPositionCount] = {};

    std::string out_;
    LhaBitWriter bits_{out_};
};

}  // namespace lha

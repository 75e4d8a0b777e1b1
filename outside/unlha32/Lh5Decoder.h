// The unpacker of -lh4-, -lh5-, -lh6- and -lh7- data (static Huffman blocks
// over an LZSS window of 4 to 64 KiB). Hostile data ends in a failure, never
// in a read outside the window or an endless loop: tables are checked as
// they are read, and the bits taken may not pass the compressed size.
#pragma once

#include <cstdint>
#include <vector>

#include "outside/unlha32/LhaHuffman.h"
#include "outside/unlha32/LhaStreams.h"

namespace lha {

class Lh5Decoder {
public:
    // `dictionaryBits` 12 to 16.
    Lh5Decoder(int dictionaryBits, ByteSource& in, std::uint64_t compressedSize);
    // Unpacks exactly `originalSize` bytes into `out`; false for damaged data
    // or when the sink refuses.
    bool Decode(std::uint64_t originalSize, ByteSink& out);

private:
    void Fill();
    std::uint32_t Peek16();
    void Skip(int count);
    std::uint32_t Get(int count);
    bool ReadLengthTable(HuffmanTable& table, int count, int countBits, int special);
    bool ReadCodeTable();
    bool ReadBlockHead();
    bool Overrun() const { return consumedBits_ > compressedBits_; }

    int dictionaryBits_;
    ByteSource& in_;
    std::uint64_t compressedBits_;
    std::uint64_t consumedBits_ = 0;
    std::uint64_t readBytes_ = 0;
    std::uint64_t bitBuffer_ = 0;  // the next bits at the top
    int bitCount_ = 0;
    std::vector<std::uint8_t> input_;
    std::size_t inputPos_ = 0;
    std::size_t inputEnd_ = 0;

    HuffmanTable lengthCodes_;
    HuffmanTable codes_;
    HuffmanTable positions_;
    std::uint32_t blockLeft_ = 0;
};

}  // namespace lha

// The static Huffman codes of LHA's -lh4- to -lh7- blocks: code lengths from
// symbol counts (at most 16 bits, as the format's tables allow), canonical
// codes from lengths (shorter first, then by symbol), and the table that
// reads them back.
#pragma once

#include <cstdint>
#include <vector>

namespace lha {

constexpr int kMaxCodeLength = 16;

// Lengths for `count` symbols of frequencies `freq`; unused symbols get 0.
// Returns the number of symbols used. With one symbol used its length is 0:
// the format writes such a table as "every code is that symbol".
int BuildCodeLengths(const std::uint32_t* freq, int count, std::uint8_t* lengths);
// Canonical codes of the lengths (a code of length L in its low L bits).
void MakeCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes);

// Reads the codes of a set of lengths: a direct table for codes up to
// kLookupBits long, then bit by bit.
class HuffmanTable {
public:
    static constexpr int kLookupBits = 10;

    // False when the lengths over-fill the code space or a length exceeds 16.
    bool Build(const std::uint8_t* lengths, int count);
    // Every code is `symbol`, read with no bit at all.
    void BuildSingle(int symbol);

    // Decodes the next symbol from the 16 bits at the top of `window`
    // (MSB first); `length` gets the bits it took. -1 for a bit pattern that
    // is no code (an incomplete set of lengths).
    int Decode(std::uint32_t window16, int& length) const;

private:
    std::vector<std::uint16_t> lookup_;  // symbol << 5 | length; 0xFFFF: longer or none
    std::uint16_t counts_[kMaxCodeLength + 1] = {};
    std::vector<std::uint16_t> sorted_;  // symbols by length, then by value
    int single_ = -1;
};

}  // namespace lha

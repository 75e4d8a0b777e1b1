// Numbers of LHA's -lh4- to -lh7- format: the sizes of its symbol sets and
// the widths of the fields that write their code lengths.
#pragma once

namespace lha {

constexpr int kMinMatch = 3;                             // shorter repeats are literals
constexpr int kMaxMatch = 256;
constexpr int kCodeCount = 256 + kMaxMatch - kMinMatch + 1;  // NC: literals, then lengths 3..256
constexpr int kCodeBits = 9;                             // CBIT: width of NC counts
constexpr int kLengthCodeCount = 19;                     // NT: the code-length code
constexpr int kLengthCodeBits = 5;                       // TBIT
constexpr int kLengthCodeSpecial = 3;                    // after this many, a 2-bit run of zeros
constexpr int kMaxPositionCount = 17;                    // NP of -lh7-

// Dictionary bits of a method ("-lh5-" has 13: 8 KiB); 0 for none of these.
int DictionaryBits(const char* method);
// NP and PBIT of a dictionary size.
inline int PositionCount(int dictionaryBits) { return dictionaryBits + 1; }
inline int PositionBits(int dictionaryBits) { return dictionaryBits <= 13 ? 4 : 5; }

}  // namespace lha

// Server flags: their words on the wire, and the local mark byte a server
// folder's cache keeps for them.
#pragma once

#include <string>

namespace qimimap {

// The local mark bit a \Recent message carries (beside kMarkRead for \Seen).
constexpr unsigned char kMarkRecent = 0x04;

// The words of the set bits in the order \Seen, \Answered, \Flagged,
// \Deleted, \Draft, \Recent, separated by single spaces.
std::string FlagListText(unsigned flags);
// The bit of one flag word (case ignored); 0 for a word that is none of them.
unsigned FlagBitOf(const std::string& word);
// The flags of a parenthesised list's inside ("\Seen \Flagged $Junk"):
// unknown words are ignored.
unsigned FlagBitsOfList(const std::string& words);

// \Seen gives the read mark, \Recent kMarkRecent; nothing else is kept.
unsigned char MarkOfFlags(unsigned flags);
// The read mark gives \Seen and kMarkRecent \Recent; other mark bits are not sent.
unsigned FlagsOfMark(unsigned char mark);

}  // namespace qimimap

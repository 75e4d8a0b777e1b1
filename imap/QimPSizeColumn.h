// The size column of the header list of a server folder (and of a local one
// when ShowLocalMailSize is on): sub-item 4, in kilobytes rounded up.
#pragma once

#include <string>

namespace qimimap {

constexpr int kSizeColumn = 4;

// "Size(KB)".
std::string SizeColumnHeader();
// "unkown" for a size of 0 or one that cannot be read (negative); otherwise
// size / 1024 + 1, so 1 byte shows 1 and 1024 bytes show 2.
std::string SizeColumnText(long long size);

}  // namespace qimimap

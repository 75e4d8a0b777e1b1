// Reads an archive's directory entry by entry (levels 0, 1 and 2) and
// unpacks the entry at hand (-lh0-, -lh4- to -lh7-; -lhd- is a folder) with
// its CRC checked. A damaged or truncated archive gives an error, never a
// read past the claimed sizes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "outside/unlha32/LhaHeader.h"
#include "outside/unlha32/LhaStreams.h"

namespace lha {

class LhaArchiveReader {
public:
    LhaArchiveReader() = default;
    ~LhaArchiveReader();
    LhaArchiveReader(const LhaArchiveReader&) = delete;
    LhaArchiveReader& operator=(const LhaArchiveReader&) = delete;

    bool Open(const std::string& nativePath);
    // Back to the first entry.
    void Rewind();
    HeaderRead Next(LhaHeader& header);
    // Whether an entry is at hand (Next gave one).
    bool HasCurrent() const { return hasCurrent_; }
    const LhaHeader& Current() const { return current_; }
    // An UNLHA_ code: the current entry's data into `out`, its size and CRC checked.
    int ExtractCurrent(ByteSink& out);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t fileSize_ = 0;
    std::uint64_t next_ = 0;  // where the next header starts
    LhaHeader current_;
    bool hasCurrent_ = false;
};

}  // namespace lha

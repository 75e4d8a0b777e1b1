// One entry's header in an LHA archive: read from levels 0, 1 and 2 (with
// their extended headers for names, directories, attributes, Unix modes and
// times), and written as level 2, the level whose names and sizes have room
// to spare and whose header carries its own CRC.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace lha {

struct LhaHeader {
    std::string method = "-lh0-";   // five characters
    std::uint64_t compressedSize = 0;  // of the data alone
    std::uint64_t originalSize = 0;
    std::int64_t modified = 0;          // time_t
    std::uint32_t attributes = 0x20;    // MS-DOS attributes
    int level = 2;
    std::uint8_t os = 'M';
    std::uint16_t crc = 0;              // of the original data
    bool hasCrc = true;                 // level 0 headers of some writers have none
    std::string name;                   // as stored, '/' between directories
    std::uint16_t unixMode = 0;
    bool hasUnixMode = false;

    std::uint64_t headerOffset = 0;     // where the header starts in the file
    std::uint64_t dataOffset = 0;       // where the data starts
};

enum class HeaderRead { Entry, End, Damaged };

// Reads the header at the file's position (which must be `offset`); `fileSize`
// bounds what it may claim. The position afterwards is undefined.
HeaderRead ReadHeader(std::FILE* file, std::uint64_t offset, std::uint64_t fileSize, LhaHeader& header);

// The level-2 header of `header` (its CRC, sizes and method as they are),
// with OS byte 'W', the name, the MS-DOS attributes and the Unix mode.
std::string MakeLevel2Header(const LhaHeader& header);

// MS-DOS date and time (date in the high word) to time_t, taken as local time.
std::int64_t DosTimeToUnix(std::uint32_t dos);

}  // namespace lha

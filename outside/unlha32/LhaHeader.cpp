#include "outside/unlha32/LhaHeader.h"

#include <cstring>
#include <ctime>
#include <vector>

#include "outside/unlha32/LhaCrc16.h"

namespace lha {

namespace {

std::uint32_t Get16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

void Put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

bool ReadExact(std::FILE* file, std::uint8_t* data, std::size_t length) {
    return std::fread(data, 1, length, file) == length;
}

// A Shift_JIS lead byte: the next byte belongs to the same character.
bool IsLeadByte(std::uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Level 0 and 1 names use '\' between directories (never inside a
// double-byte character, whose second byte may be 0x5C).
std::string SlashName(const std::uint8_t* p, std::size_t length) {
    std::string name;
    name.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t c = p[i];
        if (IsLeadByte(c) && i + 1 < length) {
            name.push_back(static_cast<char>(c));
            name.push_back(static_cast<char>(p[++i]));
        } else {
            name.push_back(c == '\\' || c == 0xFF ? '/' : static_cast<char>(c));
        }
    }
    return name;
}

// The extended headers of levels 1 and 2 met along the way.
struct Extended {
    std::string name;
    std::string directory;
    bool hasName = false;
};

// One extended header's contents (its type byte and data).
bool TakeExtended(const std::uint8_t* p, std::size_t length, LhaHeader& header, Extended& ext,
                  std::uint32_t* headerCrc) {
    if (length < 1) return false;
    const std::uint8_t type = p[0];
    const std::uint8_t* data = p + 1;
    const std::size_t size = length - 1;
    switch (type) {
    case 0x00:  // header CRC
        if (size >= 2 && headerCrc) *headerCrc = Get16(data);
        break;
    case 0x01:
        ext.name.assign(reinterpret_cast<const char*>(data), size);
        ext.hasName = true;
        break;
    case 0x02: {
        std::string dir;
        for (std::size_t i = 0; i < size; ++i) dir.push_back(data[i] == 0xFF || data[i] == '\\' ? '/' : char(data[i]));
        if (!dir.empty() && dir.back() != '/') dir.push_back('/');
        ext.directory = dir;
        break;
    }
    case 0x40:
        if (size >= 2) header.attributes = Get16(data);
        break;
    case 0x42:  // 64-bit sizes
        if (size >= 16) {
            header.compressedSize = Get32(data) | std::uint64_t(Get32(data + 4)) << 32;
            header.originalSize = Get32(data + 8) | std::uint64_t(Get32(data + 12)) << 32;
        }
        break;
    case 0x50:
        if (size >= 2) {
            header.unixMode = static_cast<std::uint16_t>(Get16(data));
            header.hasUnixMode = true;
        }
        break;
    case 0x54:
        if (size >= 4) header.modified = Get32(data);
        break;
    default:
        break;
    }
    return true;
}

// Walks extended headers lying in `block` from `first` (the size of the first
// one); `used` gets the bytes they take.
bool WalkExtended(const std::uint8_t* block, std::size_t blockSize, std::size_t first, LhaHeader& header,
                  Extended& ext, std::uint32_t* headerCrc, std::size_t* used) {
    std::size_t at = 0, next = first;
    while (next != 0) {
        if (next < 3 || at + next > blockSize) return false;
        if (!TakeExtended(block + at, next - 2, header, ext, headerCrc)) return false;
        const std::size_t following = Get16(block + at + next - 2);
        at += next;
        next = following;
    }
    if (used) *used = at;
    return true;
}

HeaderRead ReadLevel01(std::FILE* file, std::uint64_t offset, std::uint64_t fileSize, const std::uint8_t* start,
                       LhaHeader& header) {
    const std::size_t size = start[0];  // the bytes after the first two
    std::vector<std::uint8_t> h(size + 2);
    h[0] = start[0];
    h[1] = start[1];
    if (size < 20 || !ReadExact(file, h.data() + 2, size)) return HeaderRead::Damaged;
    unsigned sum = 0;
    for (std::size_t i = 2; i < size + 2; ++i) sum += h[i];
    if ((sum & 0xFF) != h[1]) return HeaderRead::Damaged;
    header.level = h[20];
    header.method.assign(reinterpret_cast<const char*>(&h[2]), 5);
    header.compressedSize = Get32(&h[7]);
    header.originalSize = Get32(&h[11]);
    header.modified = DosTimeToUnix(Get32(&h[15]));
    header.attributes = h[19];
    const std::size_t nameLength = h[21];
    if (22 + nameLength > size + 2) return HeaderRead::Damaged;
    header.name = SlashName(&h[22], nameLength);
    std::size_t at = 22 + nameLength;
    header.hasCrc = at + 2 <= size + 2;
    if (header.hasCrc) header.crc = static_cast<std::uint16_t>(Get16(&h[at]));
    at += 2;
    header.os = 0;
    std::uint64_t end = offset + size + 2;
    if (header.level == 0) {
        // A Unix extension after the CRC: 'U', time, mode, ids.
        if (at + 7 <= size + 2 && h[at] == 'U') {
            header.os = 'U';
            header.modified = Get32(&h[at + 1]);
            header.unixMode = static_cast<std::uint16_t>(Get16(&h[at + 5]));
            header.hasUnixMode = true;
        }
    } else {
        header.attributes = 0x20;
        if (at + 3 > size + 2) return HeaderRead::Damaged;
        header.os = h[at];
        std::size_t next = Get16(&h[at + 1]);
        // The extended headers follow the base header and count as data.
        std::uint64_t extTotal = 0;
        Extended ext;
        std::vector<std::uint8_t> block;
        while (next != 0) {
            if (next < 3 || extTotal + next > header.compressedSize || end + next > fileSize) return HeaderRead::Damaged;
            block.resize(next);
            if (!ReadExact(file, block.data(), next)) return HeaderRead::Damaged;
            if (!TakeExtended(block.data(), next - 2, header, ext, nullptr)) return HeaderRead::Damaged;
            extTotal += next;
            end += next;
            next = Get16(&block[next - 2]);
        }
        header.compressedSize -= extTotal;
        if (ext.hasName) header.name = ext.name;
        header.name = ext.directory + header.name;
    }
    header.dataOffset = end;
    return HeaderRead::Entry;
}

HeaderRead ReadLevel2(std::FILE* file, std::uint64_t offset, const std::uint8_t* start, LhaHeader& header) {
    const std::size_t total = Get16(start);
    if (total < 26) return HeaderRead::Damaged;
    std::vector<std::uint8_t> h(total);
    h[0] = start[0];
    h[1] = start[1];
    if (!ReadExact(file, h.data() + 2, total - 2)) return HeaderRead::Damaged;
    header.level = 2;
    header.method.assign(reinterpret_cast<const char*>(&h[2]), 5);
    header.compressedSize = Get32(&h[7]);
    header.originalSize = Get32(&h[11]);
    header.modified = static_cast<std::int64_t>(Get32(&h[15]));
    header.attributes = 0x20;
    header.crc = static_cast<std::uint16_t>(Get16(&h[21]));
    header.os = h[23];
    Extended ext;
    std::uint32_t headerCrc = 0x10000;  // none
    std::size_t used = 0;
    if (!WalkExtended(&h[26], total - 26, Get16(&h[24]), header, ext, &headerCrc, &used)) return HeaderRead::Damaged;
    if (headerCrc != 0x10000) {
        // The CRC of the header is taken with its own field zero.
        std::size_t at = 26;
        for (std::size_t next = Get16(&h[24]); next != 0;) {
            if (h[at] == 0x00) {
                h[at + 1] = h[at + 2] = 0;
                break;
            }
            const std::size_t following = Get16(&h[at + next - 2]);
            at += next;
            next = following;
        }
        if (LhaCrc16::Of(h.data(), h.size()) != headerCrc) return HeaderRead::Damaged;
    }
    if (!ext.hasName) return HeaderRead::Damaged;
    header.name = ext.directory + ext.name;
    header.dataOffset = offset + total;
    return HeaderRead::Entry;
}

}  // namespace

std::int64_t DosTimeToUnix(std::uint32_t dos) {
    std::tm t{};
    t.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
    t.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
    t.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    t.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    t.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    t.tm_sec = static_cast<int>((dos & 0x1F) * 2);
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t));
}

HeaderRead ReadHeader(std::FILE* file, std::uint64_t offset, std::uint64_t fileSize, LhaHeader& header) {
    header = LhaHeader{};
    header.headerOffset = offset;
    std::uint8_t start[22];
    const std::size_t got = std::fread(start, 1, sizeof start, file);
    // The end: a zero byte, or the file's end.
    if (got == 0 || start[0] == 0) return HeaderRead::End;
    if (got < sizeof start) return HeaderRead::Damaged;
    if (start[2] != '-' || start[6] != '-') return HeaderRead::Damaged;
    if (fseeko(file, static_cast<off_t>(offset + 2), SEEK_SET) != 0) return HeaderRead::Damaged;
    HeaderRead result;
    switch (start[20]) {
    case 0:
    case 1:
        result = ReadLevel01(file, offset, fileSize, start, header);
        break;
    case 2:
        result = ReadLevel2(file, offset, start, header);
        break;
    default:
        return HeaderRead::Damaged;
    }
    if (result != HeaderRead::Entry) return result;
    if (header.dataOffset > fileSize || header.compressedSize > fileSize - header.dataOffset) return HeaderRead::Damaged;
    return HeaderRead::Entry;
}

std::string MakeLevel2Header(const LhaHeader& header) {
    std::string ext;
    const auto addExtended = [&ext](std::uint8_t type, const std::string& data) {
        // Each one ends with the size of the one after it; the last with 0.
        Put16(ext, static_cast<std::uint32_t>(data.size() + 3));
        ext.push_back(static_cast<char>(type));
        ext.append(data);
    };
    addExtended(0x00, std::string(2, '\0'));
    addExtended(0x01, header.name);
    std::string attributes;
    Put16(attributes, header.attributes);
    addExtended(0x40, attributes);
    if (header.hasUnixMode) {
        std::string mode;
        Put16(mode, header.unixMode);
        addExtended(0x50, mode);
    }
    Put16(ext, 0);
    // ext now starts with the first one's size, which belongs to the base header.
    std::string h;
    h.reserve(26 + ext.size());
    Put16(h, 0);  // total size, below
    h.append(header.method, 0, 5);
    Put32(h, static_cast<std::uint32_t>(header.compressedSize));
    Put32(h, static_cast<std::uint32_t>(header.originalSize));
    Put32(h, static_cast<std::uint32_t>(header.modified));
    h.push_back(0x20);
    h.push_back(2);
    Put16(h, header.crc);
    // A Windows archiver's mark: readers keep such names as they are (an MS-DOS
    // 'M' makes some of them lower-case a name in capitals).
    h.push_back(static_cast<char>('W'));
    h.append(ext);
    // A header whose size ends in a zero byte would read as the archive's end.
    if ((h.size() & 0xFF) == 0) h.push_back('\0');
    h[0] = static_cast<char>(h.size() & 0xFF);
    h[1] = static_cast<char>((h.size() >> 8) & 0xFF);
    const std::uint16_t crc = LhaCrc16::Of(h.data(), h.size());
    // The CRC extended header is the first: its data follows its type byte.
    h[27] = static_cast<char>(crc & 0xFF);
    h[28] = static_cast<char>(crc >> 8);
    return h;
}

}  // namespace lha

// File attributes as Windows knows them, kept in mode bits the way Samba maps
// them: read-only = owner write bit clear, archive = owner execute bit,
// system = group execute bit, hidden = others execute bit. Directories carry
// only the directory attribute. So a mail's read mark is owner-x and its
// important mark is "not writable", and both travel with the file.
#pragma once

#include <cstdint>

namespace platform {

constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// INVALID_FILE_ATTRIBUTES when the path does not exist (or is not valid Shift_JIS).
std::uint32_t GetFileAttributes(const char* sjisPath);
// Mode bits from attributes, for a listing that already has a stat result.
std::uint32_t AttributesFromMode(unsigned mode);
// Sets the attribute bits that have a meaning for the kind of file. On a
// directory only the directory attribute exists, and the call succeeds.
bool SetFileAttributes(const char* sjisPath, std::uint32_t attributes);

}  // namespace platform

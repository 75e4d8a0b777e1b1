// What every harness shares: one private temporary directory for the run
// (removed at exit), the input written to a file in it for the file-based
// readers, and boxes that nobody sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qimfuzz {

// The run's private directory (made on first use with mkdtemp, in /dev/shm
// when the machine has it; removed with everything below it when the process
// ends). Also made the process's TMPDIR and HOME, so that code which finds
// its own folders stays inside.
const std::string& PrivateDir();
// A path below PrivateDir(); the name is joined as it is.
std::string PrivatePath(const char* name);
// Writes `bytes` to the file `name` below PrivateDir() (replaced each run)
// and returns its path.
std::string WriteInput(const char* name, std::string_view bytes);
// Empties (or makes) the folder `name` below PrivateDir() and returns its path.
std::string FreshFolder(const char* name);
// Boxes answer the safe button without a word; a save dialog gets the file
// "saved" in PrivateDir(), other dialogs are cancelled.
void InstallQuietDialogs();

// Each line of `bytes` with its LF (the last one may have none), as the file
// readers hand lines over; stops when `take` returns false.
inline void ForEachLine(const std::string& bytes, const std::function<bool(const std::string&)>& take) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        if (!take(bytes.substr(start, end - start))) return;
        start = end;
    }
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Splits the input into a choice byte and the rest (the rest is the whole
// input when it is empty).
struct Split {
    unsigned choice = 0;
    std::string_view rest;
};
inline Split TakeChoice(std::string_view bytes) {
    if (bytes.empty()) return {};
    return {static_cast<unsigned char>(bytes[0]), bytes.substr(1)};
}

}  // namespace qimfuzz

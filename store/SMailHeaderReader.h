// The header lines of mail files, as a text-mode stream gives them (CR LF as
// LF), read straight from the file into one buffer that is kept from file to
// file: a small mail's header comes with its first read, the lines are handed
// out in place, and nothing is read past the line that ends the header.
#pragma once

#include <cstddef>
#include <vector>

class SMailHeaderReader {
public:
    // A longer line keeps this many bytes; the rest of it is passed over.
    static constexpr std::size_t kMaxLine = 64 * 1024;

    SMailHeaderReader();
    ~SMailHeaderReader();
    SMailHeaderReader(const SMailHeaderReader&) = delete;
    SMailHeaderReader& operator=(const SMailHeaderReader&) = delete;

    // Takes the open file `fd` (closed by Close, the next Open or the end).
    void Open(int fd);
    void Close();

    // The next line with its LF (the last line of a file may have none),
    // NUL-terminated, valid until the next call; its length (NUL bytes inside
    // count) in `length`. Nullptr at the end of the file or on a read error.
    const char* NextLine(std::size_t& length);
    // The file gave no byte but an error (a folder opened as a file does).
    bool Unreadable() const { return unreadable_; }
    // Whether the line just handed out was the empty line that ends a header.
    static bool IsHeaderEnd(std::size_t length, const char* line) { return length == 1 && line[0] == '\n'; }

private:
    // Reads more after what is held; false at the end of the file or on error.
    bool Fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;   // the next line starts here
    std::size_t end_ = 0;     // bytes held
    std::size_t patched_ = 0; // where the last line's NUL was put (0: none)
    char patchedByte_ = 0;    // ... and the byte it covers
    bool ended_ = false;      // the file has no more bytes (or failed)
    bool skipping_ = false;   // the rest of a too long line is passed over
    bool unreadable_ = false;
    bool gotBytes_ = false;   // some read gave bytes
};

// A stdio stream in the text mode of the stored formats: CR LF on disk reads as
// LF, and every LF written reaches the disk as CR LF. Positions (Tell, Seek) are
// byte offsets of the file, so offsets taken while reading can be used to seek.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

// fopen with a Shift_JIS path (converted to the on-disk UTF-8 name).
// `mode` is an fopen mode; "b" is implied, there is no conversion.
FILE* OpenFile(const char* sjisPath, const char* mode);

class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // `mode` as for fopen: "r", "w", "a", "r+", "w+", "a+".
    bool Open(const char* sjisPath, const char* mode);
    // Takes over an open stream (not closed by Close when `own` is false).
    void Attach(FILE* fp, bool own);
    bool Close();
    bool IsOpen() const { return fp_ != nullptr; }
    FILE* Handle() const { return fp_; }

    // One character, with CR LF folded to LF; EOF at the end.
    int Getc();
    // Like fgets: at most size-1 characters up to and including LF, NUL-terminated.
    // Null at end of file with nothing read.
    char* Gets(char* buffer, int size);
    // Like Gets, but returns the number of characters read (0 at end of file), so
    // a line may hold NUL bytes. Fast enough for files of any size.
    int ReadLine(char* buffer, int size);
    // Reads one whole line without its LF (any length). False at end of file.
    bool GetLine(std::string& line);
    // Reads up to `count` characters after conversion; returns the number read.
    std::size_t Read(char* buffer, std::size_t count);

    bool Putc(char c);
    bool Puts(const char* text);
    bool Write(const char* data, std::size_t count);

    long long Tell() const;
    bool Seek(long long offset, int whence = SEEK_SET);
    bool Eof() const;
    bool Error() const;
    bool Flush();
    // Flush and fsync: the data is on stable storage when this returns true.
    bool Sync();

private:
    FILE* fp_ = nullptr;
    bool own_ = true;
};

}  // namespace platform

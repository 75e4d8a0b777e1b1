// The file a fetched message body is written into, line by line, as the
// lines arrive (binary: the bytes are kept as they are).
#pragma once

#include <cstdio>
#include <string>

class SSaveFileByLine {
public:
    SSaveFileByLine() = default;
    ~SSaveFileByLine() { Close(); }
    SSaveFileByLine(const SSaveFileByLine&) = delete;
    SSaveFileByLine& operator=(const SSaveFileByLine&) = delete;

    // Creates (or empties) the file; false with Error set when it cannot.
    bool Open(const std::string& path);
    // Appends `length` bytes; false with Error set when they were not all written.
    bool Write(const char* data, int length);
    // Closes the file; false with Error set when what was written did not
    // reach the disk.
    bool Close();
    bool IsOpen() const { return file_ != nullptr; }
    // The errno of the last failure.
    int Error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

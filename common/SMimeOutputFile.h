// The output file of a decode or encode: opened as a raw handle or as a text
// stream, and on failure removed again (or cut back to its former length when
// it was opened for appending), so no half-written file is left behind.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

class SMimeOutputFile {
public:
    SMimeOutputFile() = default;
    ~SMimeOutputFile();  // an output still open is treated as failed
    SMimeOutputFile(const SMimeOutputFile&) = delete;
    SMimeOutputFile& operator=(const SMimeOutputFile&) = delete;

    // Creates the file (read and write permission) or opens it to append to or
    // truncate. `inputHandle`, when not -1, is the open input: a path that names
    // the same file is refused before anything is truncated.
    bool OpenHandle(const char* sjisPath, bool append, int inputHandle = -1);
    // The same as a text stream (each LF written reaches the file as CR LF).
    bool OpenStream(const char* sjisPath, bool append, int inputHandle = -1);
    int Handle() const { return handle_; }
    FILE* Stream() const { return stream_; }

    // Closes the file. When `keep` is false, or closing fails, a regular file is
    // removed (truncated output) or cut back to its length at opening (appended
    // output). Returns whether the output was kept and closed cleanly.
    bool Close(bool keep);

private:
    bool Prepare(const char* sjisPath, int inputHandle);
    void RecordLength(int handle);

    std::string native_;
    int handle_ = -1;
    FILE* stream_ = nullptr;
    bool append_ = false;
    bool regular_ = false;
    off_t lengthAtOpen_ = 0;
};

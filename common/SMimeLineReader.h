// Reads a message file line by line from a known byte offset and counts the
// bytes itself, so the MIME walk knows where every line begins without asking
// the stream. CR LF reads as LF, as in the text mode of the stored formats; a
// line longer than the kept length is read to its end and the rest dropped.
#pragma once

#include <cstdio>
#include <string>

// Opens a message file for reading (Shift_JIS path); null for a folder or a file
// that cannot be opened.
FILE* OpenMessageFile(const char* sjisPath);

class SMimeLineReader {
public:
    // Bytes of a line that are kept (the line end included).
    static constexpr int kKeep = 1024;

    // Reads on from the current position of `fp`, which is `position` of the file.
    SMimeLineReader(FILE* fp, long position);
    SMimeLineReader(const SMimeLineReader&) = delete;
    SMimeLineReader& operator=(const SMimeLineReader&) = delete;

    // Goes on from `position`, where the stream has just been put.
    void Restart(long position) { position_ = lineStart_ = position; }
    // The next line; false at the end of the file or on a read error.
    bool Next();
    // The kept part of the line, NUL-terminated (it may hold NUL bytes of its own).
    const char* Text() const { return text_; }
    int Length() const { return length_; }
    // Whether the line was longer than what was kept.
    bool Cut() const { return cut_; }
    // Whether the line, without its line end and trailing blanks, is exactly `text`.
    bool Is(const std::string& text) const;

    long LineStart() const { return lineStart_; }
    // The offset just after the line.
    long Position() const { return position_; }
    // Bytes of the line end in the file: 2 for CR LF, 1 for LF, 0 for a last
    // line without one.
    int LineEndLength() const { return lineEnd_; }

private:
    FILE* fp_;
    long position_;
    long lineStart_;
    int length_ = 0;
    int lineEnd_ = 0;
    bool cut_ = false;
    char text_[kKeep + 1] = {};
};

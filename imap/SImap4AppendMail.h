// The message an APPEND sends: a Shift_JIS mail file read in pieces of at
// most kLineLength bytes (a line, or a part of a longer one that never splits
// a double-byte character) and sent in ISO-2022-JP. The literal's size is
// measured over the same pieces first, so that it matches the bytes sent.
#pragma once

#include <cstdio>
#include <string>

class SImap4AppendMail {
public:
    static constexpr int kLineLength = 1024;

    SImap4AppendMail() = default;
    ~SImap4AppendMail() { Close(); }
    SImap4AppendMail(const SImap4AppendMail&) = delete;
    SImap4AppendMail& operator=(const SImap4AppendMail&) = delete;

    // Opens the file and measures it; false (with Error) when it cannot be
    // read or its size in JIS does not fit a literal.
    bool Open(const std::string& path);
    // The literal's size: the bytes the pieces make in JIS.
    long long Size() const { return size_; }
    // Appends the next piece in JIS to `out`; false at the end of the file or
    // when it cannot be read (Error not 0 then).
    bool NextLine(std::string& out);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    int Error() const { return error_; }

private:
    // The next piece as it is in the file; false at the end.
    bool ReadPiece(std::string& piece);
    static void AppendJis(const std::string& piece, std::string& out);

    std::FILE* file_ = nullptr;
    long long size_ = 0;
    int error_ = 0;
    std::string piece_;  // working storage of NextLine
    int held_ = -1;      // a lead byte kept for the next piece, -1 when none
};

// Sources of the lines of a message for the SMTP data phase: a message file
// (whole, or its body after the header) or the compose editor. Every line
// comes with CR LF, so the terminating dot line always follows a line end.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "send/SComposeEditor.h"

class SGetLine {
public:
    virtual ~SGetLine() = default;
    virtual bool Open() = 0;
    // The next line with CR LF; false when there is none.
    virtual bool NextLine(std::string& line) = 0;
    virtual void Close() = 0;
};

// The lines of a file, up to kPieceSize - 1 bytes each: a longer line comes in
// pieces, cut before a double-byte character rather than through it, and a CR
// LF is never torn apart. A bare LF, or no line end, becomes CR LF. The file
// is read in large blocks and each line found in them at once.
class SGetLineFile : public SGetLine {
public:
    static constexpr int kPieceSize = 1024;
    explicit SGetLineFile(std::string path) : path_(std::move(path)) {}
    ~SGetLineFile() override { Close(); }
    bool Open() override;
    bool NextLine(std::string& line) override;
    void Close() override;
    // The last line was a piece of a longer one: the next continues it.
    bool IsCut() const { return cut_; }

protected:
    // Reads a line as the file holds it (line end included, if any).
    bool RawLine(std::string& line);

private:
    // Holds at least kPieceSize bytes after `begin_` unless the file ends sooner.
    void Fill();

    std::string path_;
    FILE* fp_ = nullptr;
    bool cut_ = false;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // the next line starts here
    std::size_t end_ = 0;    // bytes held
    bool ended_ = false;     // nothing more to read
};

// The same lines after the header and the empty line that ends it.
class SGetLineFileOmitHeader : public SGetLineFile {
public:
    using SGetLineFile::SGetLineFile;
    bool Open() override;
};

// The whole file except the Bcc lines of its header (continuation lines
// included): blind copies are recipients, never part of what is sent.
class SGetLineFileWithoutBcc : public SGetLineFile {
public:
    using SGetLineFile::SGetLineFile;
    bool Open() override;
    bool NextLine(std::string& line) override;

private:
    bool inHeader_ = true;
    bool inBcc_ = false;
    bool lineStart_ = true;
};

// The lines of the compose editor.
class SGetLineEdit : public SGetLine {
public:
    explicit SGetLineEdit(const SComposeEditor& editor) : editor_(editor) {}
    bool Open() override;
    bool NextLine(std::string& line) override;
    void Close() override {}

private:
    const SComposeEditor& editor_;
    int count_ = 0;
    int next_ = 0;
};

#include "send/SGetLine.h"

#include "common/JString.h"
#include "common/JapaneseCodes.h"
#include "common/SHeaderField.h"
#include "platform/TextFile.h"

bool SGetLineFile::Open() {
    Close();
    fp_ = platform::OpenFile(path_.c_str(), "rb");
    return fp_ != nullptr;
}

void SGetLineFile::Close() {
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
}

bool SGetLineFile::RawLine(std::string& line) {
    line.clear();
    cut_ = false;
    if (!fp_) return false;
    int c = 0;
    while (line.size() < static_cast<std::size_t>(kPieceSize - 1) && (c = std::getc(fp_)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n') return true;
    }
    if (line.empty()) return false;
    if (c == EOF) return true;
    // Cut at the piece size: a CR waiting for its LF takes it along, and a
    // double-byte character is left whole for the next piece.
    const int next = std::getc(fp_);
    if (next == '\n' && line.back() == '\r') {
        line += '\n';
        return true;
    }
    if (next != EOF) std::ungetc(next, fp_);
    cut_ = next != EOF;
    std::size_t pos = 0;
    while (pos < line.size()) pos += IsKanji1(static_cast<unsigned char>(line[pos])) ? 2 : 1;
    if (pos > line.size()) {
        std::ungetc(static_cast<unsigned char>(line.back()), fp_);
        line.pop_back();
    }
    return true;
}

bool SGetLineFile::NextLine(std::string& line) {
    if (!RawLine(line)) return false;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return true;
    if (line.back() == '\n') line.pop_back();
    line += "\r\n";
    return true;
}

bool SGetLineFileOmitHeader::Open() {
    if (!SGetLineFile::Open()) return false;
    std::string line;
    bool lineStart = true;  // the piece before ended a line
    while (RawLine(line)) {
        if (lineStart && (line == "\r\n" || line == "\n")) return true;
        lineStart = line.back() == '\n';
    }
    return true;  // a file that is all header has an empty body
}

bool SGetLineEdit::Open() {
    count_ = editor_.LineCount();
    next_ = 0;
    return true;
}

bool SGetLineEdit::NextLine(std::string& line) {
    if (next_ >= count_ || next_ >= editor_.LineCount()) return false;
    line = editor_.Line(next_++) + "\r\n";
    return true;
}

bool SGetLineFileWithoutBcc::Open() {
    inHeader_ = true;
    inBcc_ = false;
    lineStart_ = true;
    return SGetLineFile::Open();
}

bool SGetLineFileWithoutBcc::NextLine(std::string& line) {
    while (SGetLineFile::NextLine(line)) {
        const bool startsLine = lineStart_;
        lineStart_ = !IsCut();
        if (!inHeader_) return true;
        if (startsLine) {
            if (line == "\r\n") {
                inHeader_ = false;
                return true;
            }
            const bool continuation = line[0] == ' ' || line[0] == '\t';
            if (!continuation) inBcc_ = IsHeaderField(line.c_str(), "Bcc:");
        }
        if (!inBcc_) return true;
    }
    return false;
}

#include "send/SGetLine.h"

#include <algorithm>
#include <cstring>

#include "common/JString.h"
#include "common/JapaneseCodes.h"
#include "common/SHeaderField.h"
#include "platform/TextFile.h"

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

}  // namespace

bool SGetLineFile::Open() {
    Close();
    fp_ = platform::OpenFile(path_.c_str(), "rb");
    buffer_.resize(kReadBlock);
    begin_ = end_ = 0;
    ended_ = false;
    return fp_ != nullptr;
}

void SGetLineFile::Close() {
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
}

void SGetLineFile::Fill() {
    if (ended_ || end_ - begin_ >= static_cast<std::size_t>(kPieceSize)) return;
    std::copy(buffer_.begin() + static_cast<long>(begin_), buffer_.begin() + static_cast<long>(end_), buffer_.begin());
    end_ -= begin_;
    begin_ = 0;
    while (!ended_ && end_ < static_cast<std::size_t>(kPieceSize)) {
        const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, fp_);
        end_ += n;
        if (n == 0) ended_ = true;
    }
}

bool SGetLineFile::RawLine(std::string& line) {
    line.clear();
    cut_ = false;
    if (!fp_) return false;
    Fill();
    const char* p = buffer_.data() + begin_;
    const std::size_t held = end_ - begin_;
    const std::size_t piece = static_cast<std::size_t>(kPieceSize - 1);
    const std::size_t look = std::min(held, piece);
    if (const void* lf = std::memchr(p, '\n', look)) {
        const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - p) + 1;
        line.assign(p, n);
        begin_ += n;
        return true;
    }
    if (held == 0) return false;
    if (held < piece) {  // the file ends without a line end
        line.assign(p, held);
        begin_ = end_;
        return true;
    }
    // Cut at the piece size: a CR waiting for its LF takes it along, and a
    // double-byte character is left whole for the next piece.
    line.assign(p, piece);
    const bool more = held > piece;
    if (more && p[piece] == '\n' && line.back() == '\r') {
        line += '\n';
        begin_ += piece + 1;
        return true;
    }
    cut_ = more;
    std::size_t pos = 0;
    while (pos < line.size()) pos += IsKanji1(static_cast<unsigned char>(line[pos])) ? 2 : 1;
    if (pos > line.size()) line.pop_back();
    begin_ += line.size();
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

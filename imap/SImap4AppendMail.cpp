#include "imap/SImap4AppendMail.h"

#include <cerrno>
#include <climits>
#include <vector>

#include "common/JapaneseCodes.h"
#include "platform/TextFile.h"

namespace {

// The stretches between NUL bytes are converted on their own; a NUL stays a
// NUL (the converter's input ends at one).
template <typename F>
void ForEachRun(const std::string& piece, F&& run) {
    std::size_t start = 0;
    while (start <= piece.size()) {
        const std::size_t nul = piece.find('\0', start);
        const std::size_t end = nul == std::string::npos ? piece.size() : nul;
        run(piece.c_str() + start, end - start, nul != std::string::npos);
        if (nul == std::string::npos) break;
        start = nul + 1;
    }
}

}  // namespace

bool SImap4AppendMail::Open(const std::string& path) {
    Close();
    error_ = 0;
    errno = 0;
    file_ = platform::OpenFile(path.c_str(), "rb");
    if (!file_) {
        error_ = errno ? errno : ENOENT;
        return false;
    }
    long long size = 0;
    std::string piece;
    while (ReadPiece(piece)) {
        ForEachRun(piece, [&size, &piece](const char* text, std::size_t length, bool nul) {
            if (length > 0) {
                const std::string run(text, length);
                size += LengthAsJis(reinterpret_cast<const unsigned char*>(run.c_str()));
            }
            if (nul) ++size;
        });
        if (size > INT_MAX) error_ = EFBIG;
    }
    if (error_ == 0 && std::ferror(file_)) error_ = errno ? errno : EIO;
    if (error_ == 0 && std::fseek(file_, 0, SEEK_SET) != 0) error_ = errno ? errno : EIO;
    if (error_ != 0) {
        Close();
        return false;
    }
    held_ = -1;
    size_ = size;
    return true;
}

bool SImap4AppendMail::ReadPiece(std::string& piece) {
    piece.clear();
    if (held_ >= 0) {
        piece.push_back(static_cast<char>(held_));
        held_ = -1;
    }
    int c = 0;
    while (static_cast<int>(piece.size()) < kLineLength && (c = std::getc(file_)) != EOF) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n') return true;
    }
    if (static_cast<int>(piece.size()) == kLineLength) {
        // A double-byte character that the piece's end would split goes whole
        // into the next piece.
        std::size_t i = 0;
        while (i < piece.size()) i += IsKanji1(static_cast<unsigned char>(piece[i])) ? 2 : 1;
        if (i > piece.size()) {
            held_ = static_cast<unsigned char>(piece.back());
            piece.pop_back();
        }
    }
    return !piece.empty();
}

void SImap4AppendMail::AppendJis(const std::string& piece, std::string& out) {
    static thread_local std::vector<char> buffer;
    ForEachRun(piece, [&out](const char* text, std::size_t length, bool nul) {
        if (length > 0) {
            const std::string run(text, length);
            const unsigned char* s = reinterpret_cast<const unsigned char*>(run.c_str());
            buffer.resize(static_cast<std::size_t>(LengthAsJis(s)) + 1);
            const int n = Sjis2Jis(buffer.data(), s);
            out.append(buffer.data(), static_cast<std::size_t>(n));
        }
        if (nul) out.push_back('\0');
    });
}

bool SImap4AppendMail::NextLine(std::string& out) {
    if (!file_) return false;
    if (!ReadPiece(piece_)) {
        if (std::ferror(file_)) error_ = errno ? errno : EIO;
        return false;
    }
    AppendJis(piece_, out);
    return true;
}

void SImap4AppendMail::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    held_ = -1;
}

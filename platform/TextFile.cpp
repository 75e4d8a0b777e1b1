#include "platform/TextFile.h"

#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/NativePath.h"

namespace platform {

FILE* OpenFile(const char* sjisPath, const char* mode) {
    std::string native;
    if (!ToNativePath(sjisPath, native)) return nullptr;
    std::string m(mode);
    if (m.find('b') == std::string::npos) m += 'b';
    m += 'e';  // close-on-exec: no descriptor leaks into helper processes
    return std::fopen(native.c_str(), m.c_str());
}

TextFile::~TextFile() { Close(); }

bool TextFile::Open(const char* sjisPath, const char* mode) {
    Close();
    fp_ = OpenFile(sjisPath, mode);
    own_ = true;
    return fp_ != nullptr;
}

void TextFile::Attach(FILE* fp, bool own) {
    Close();
    fp_ = fp;
    own_ = own;
}

bool TextFile::Close() {
    if (!fp_) return true;
    bool ok = true;
    if (own_) ok = std::fclose(fp_) == 0;
    fp_ = nullptr;
    return ok;
}

int TextFile::Getc() {
    int c = getc_unlocked(fp_);
    if (c == '\r') {
        int next = getc_unlocked(fp_);
        if (next == '\n') return '\n';
        if (next != EOF) ungetc(next, fp_);
    }
    return c;
}

char* TextFile::Gets(char* buffer, int size) { return ReadLine(buffer, size) == 0 ? nullptr : buffer; }

int TextFile::ReadLine(char* buffer, int size) {
    if (size <= 0 || !fp_) return 0;
    int n = 0;
    while (n < size - 1) {
        int c = getc_unlocked(fp_);
        if (c == EOF) break;
        if (c == '\r') {
            int next = getc_unlocked(fp_);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                ungetc(next, fp_);
            }
        }
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n;
}

bool TextFile::GetLine(std::string& line) {
    line.clear();
    if (!fp_) return false;
    int c = Getc();
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        line.push_back(static_cast<char>(c));
        c = Getc();
    }
    return true;
}

std::size_t TextFile::Read(char* buffer, std::size_t count) {
    std::size_t n = 0;
    while (n < count) {
        int c = Getc();
        if (c == EOF) break;
        buffer[n++] = static_cast<char>(c);
    }
    return n;
}

bool TextFile::Putc(char c) {
    if (c == '\n' && putc_unlocked('\r', fp_) == EOF) return false;
    return putc_unlocked(static_cast<unsigned char>(c), fp_) != EOF;
}

bool TextFile::Write(const char* data, std::size_t count) {
    if (!fp_) return false;
    // Lines are gathered with their CR LF into a block and written at once: many
    // short lines cost one fwrite instead of two each.
    char block[8192];
    std::size_t used = 0;
    const char* end = data + count;
    while (data < end) {
        const char* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
        std::size_t piece = static_cast<std::size_t>((lf ? lf : end) - data);
        std::size_t need = piece + (lf ? 2 : 0);
        if (used + need > sizeof block) {
            if (used > 0 && std::fwrite(block, 1, used, fp_) != used) return false;
            used = 0;
        }
        if (need > sizeof block) {  // a line longer than the block goes out on its own
            if (std::fwrite(data, 1, piece, fp_) != piece) return false;
            if (lf && std::fwrite("\r\n", 1, 2, fp_) != 2) return false;
        } else {
            std::memcpy(block + used, data, piece);
            used += piece;
            if (lf) {
                block[used++] = '\r';
                block[used++] = '\n';
            }
        }
        data += piece + (lf ? 1 : 0);
    }
    return used == 0 || std::fwrite(block, 1, used, fp_) == used;
}

bool TextFile::Puts(const char* text) { return Write(text, std::strlen(text)); }

long long TextFile::Tell() const { return fp_ ? ftello(fp_) : -1; }

bool TextFile::Seek(long long offset, int whence) {
    return fp_ && fseeko(fp_, offset, whence) == 0;
}

bool TextFile::Eof() const { return !fp_ || std::feof(fp_); }

bool TextFile::Error() const { return !fp_ || std::ferror(fp_); }

bool TextFile::Flush() { return fp_ && std::fflush(fp_) == 0; }

bool TextFile::Sync() { return Flush() && fsync(fileno(fp_)) == 0; }

}  // namespace platform

#include "common/SMimeLineReader.h"

#include <sys/stat.h>

#include <cstring>

#include "platform/TextFile.h"

FILE* OpenMessageFile(const char* sjisPath) {
    FILE* file = sjisPath ? platform::OpenFile(sjisPath, "r") : nullptr;
    struct stat st;
    if (file && (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    return file;
}

SMimeLineReader::SMimeLineReader(FILE* fp, long position) : fp_(fp), position_(position), lineStart_(position) {}

bool SMimeLineReader::Next() {
    lineStart_ = position_;
    length_ = 0;
    lineEnd_ = 0;
    cut_ = false;
    text_[0] = '\0';
    if (!fp_) return false;
    int c = getc_unlocked(fp_);
    if (c == EOF) return false;
    for (; c != EOF; c = getc_unlocked(fp_)) {
        ++position_;
        if (c == '\r') {
            int next = getc_unlocked(fp_);
            if (next == '\n') {
                ++position_;
                lineEnd_ = 2;
                c = '\n';
            } else if (next != EOF) {
                ungetc(next, fp_);
            }
        } else if (c == '\n') {
            lineEnd_ = 1;
        }
        if (length_ < kKeep)
            text_[length_++] = static_cast<char>(c);
        else
            cut_ = true;
        if (c == '\n') break;
    }
    text_[length_] = '\0';
    return true;
}

bool SMimeLineReader::Is(const std::string& text) const {
    if (cut_) return false;
    int length = length_;
    if (length > 0 && text_[length - 1] == '\n') --length;
    // Blanks may follow a delimiter line.
    while (length > static_cast<int>(text.size()) && (text_[length - 1] == ' ' || text_[length - 1] == '\t')) --length;
    return static_cast<std::size_t>(length) == text.size() && std::memcmp(text_, text.data(), text.size()) == 0;
}

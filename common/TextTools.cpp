#include "common/TextTools.h"

#include <algorithm>
#include <memory>
#include <new>

#include "platform/TextFile.h"

namespace {

// The line reader over any source of characters (`get` returns EOF at the end).
template <typename GetChar>
int ReadLine(GetChar get, char* buffer, int size, std::string& out, int maxLength) {
    out.clear();
    if (!buffer || size < 2) return -1;
    const std::size_t limit = static_cast<std::size_t>(std::max(maxLength, 0));
    bool lineEnded = false, fileEnded = false;
    while (!lineEnded && !fileEnded) {
        int n = 0;
        while (n < size - 1) {
            const int c = get();
            if (c == EOF) {
                fileEnded = true;
                break;
            }
            buffer[n++] = static_cast<char>(c);
            if (c == '\n') {
                lineEnded = true;
                break;
            }
        }
        const std::size_t room = limit - std::min(limit, out.size());
        out.append(buffer, std::min(static_cast<std::size_t>(n), room));
    }
    return static_cast<int>(out.size());
}

template <typename GetChar>
int ReadLineOwnBuffer(GetChar get, std::string& out, int maxLength, int bufferLength) {
    out.clear();
    if (bufferLength <= 0) return -1;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<std::size_t>(bufferLength) + 1]);
    if (!buffer) return -1;
    return ReadLine(get, buffer.get(), bufferLength + 1, out, maxLength);
}

}  // namespace

int FGetString(FILE* fp, char* buffer, int size, std::string& out, int maxLength) {
    if (!fp) {
        out.clear();
        return -1;
    }
    flockfile(fp);
    const int n = ReadLine([fp] { return getc_unlocked(fp); }, buffer, size, out, maxLength);
    funlockfile(fp);
    return n;
}

int FGetString(FILE* fp, std::string& out, int maxLength, int bufferLength) {
    if (!fp) {
        out.clear();
        return -1;
    }
    flockfile(fp);
    const int n = ReadLineOwnBuffer([fp] { return getc_unlocked(fp); }, out, maxLength, bufferLength);
    funlockfile(fp);
    return n;
}

int FGetString(platform::TextFile& file, char* buffer, int size, std::string& out, int maxLength) {
    if (!file.IsOpen()) {
        out.clear();
        return -1;
    }
    return ReadLine([&file] { return file.Getc(); }, buffer, size, out, maxLength);
}

int FGetString(platform::TextFile& file, std::string& out, int maxLength, int bufferLength) {
    if (!file.IsOpen()) {
        out.clear();
        return -1;
    }
    return ReadLineOwnBuffer([&file] { return file.Getc(); }, out, maxLength, bufferLength);
}

char* MemStrCpy(char* dest, const char* src, int count, char fill) {
    int i = 0;
    if (src) {
        while (i < count) {
            const char c = src[i];
            dest[i++] = c;
            if (!c) break;
        }
    }
    for (; i < count; ++i) dest[i] = fill;
    return dest;
}

bool IsIntStr(const char* s) {
    if (!s) return false;
    while (*s == ' ' || *s == '\t') ++s;
    if (*s == '+' || *s == '-') ++s;
    for (; *s; ++s) {
        if (*s < '0' || *s > '9') return false;
    }
    return true;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view LineAt(std::string_view text, std::size_t at, std::size_t& next) {
    std::size_t end = text.find('\n', at);
    next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

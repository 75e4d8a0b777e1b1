#include "common/SMimeNoEncoded.h"

#include <cstring>
#include <memory>

unsigned char* SMimeNoEncoded::Decode(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return nullptr;
    std::memmove(dest, src, std::strlen(reinterpret_cast<const char*>(src)) + 1);
    return dest;
}

unsigned char* SMimeNoEncoded::Encode(const unsigned char* src, unsigned char* dest) { return Decode(src, dest); }

bool SMimeNoEncoded::DecodeFileBody(FILE* in, int outHandle, long endOffset, bool /*skipEmptyLines*/) {
    if (!BeginDecode(in)) return false;
    LineReader reader(in, endOffset);
    HandleWriter out(outHandle);
    char line[kLineBufferSize];
    int length;
    while ((length = reader.Next(line)) > 0) {
        if (line[length - 1] == '\n') {
            out.Write(line, static_cast<std::size_t>(length - 1));
            out.Write("\r\n", 2);
        } else {
            out.Write(line, static_cast<std::size_t>(length));
        }
        if (out.Failed()) break;
    }
    return EndDecode(out, reader, true);
}

bool SMimeNoEncoded::EncodeFileBody(int inHandle, FILE* out) {
    platform::TextFile stream;
    if (!BeginEncode(out, stream)) return false;
    constexpr std::size_t kBlock = 1 << 16;
    std::unique_ptr<unsigned char[]> raw(new unsigned char[kBlock + 1]);
    std::unique_ptr<char[]> text(new char[kBlock + 1]);
    std::size_t pending = 0;  // a CR at the end of the block before
    for (;;) {
        long n = ReadFull(inHandle, raw.get() + pending, kBlock);
        if (n < 0) {
            SetError(kMimeErrorRead);
            return false;
        }
        bool final = static_cast<std::size_t>(n) < kBlock;
        std::size_t length = pending + static_cast<std::size_t>(n);
        // A CR that may be the first half of CR LF waits for the next block.
        pending = !final && length > 0 && raw[length - 1] == '\r' ? 1 : 0;
        std::size_t written = 0;
        for (std::size_t i = 0; i + pending < length; ++i) {
            if (raw[i] == '\r' && i + 1 < length && raw[i + 1] == '\n') continue;  // the LF writes CR LF
            text[written++] = static_cast<char>(raw[i]);
        }
        if (!stream.Write(text.get(), written)) {
            SetError(kMimeErrorWrite);
            return false;
        }
        if (pending) raw[0] = '\r';
        if (final) break;
    }
    if (!stream.Flush()) {
        SetError(kMimeErrorWrite);
        return false;
    }
    return true;
}

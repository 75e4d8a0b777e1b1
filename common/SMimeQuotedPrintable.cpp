#include "common/SMimeQuotedPrintable.h"

#include <cstring>
#include <memory>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// A hex digit of an escape; any other character counts as 0.
unsigned HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// Writes quoted-printable into a caller's buffer, keeping lines within
// kMaxLineLength with soft breaks. Line breaks of the input are CR LF
// (`crlfBreaks`, for raw files) or LF (for texts in memory).
class QpEncoder {
public:
    explicit QpEncoder(bool crlfBreaks) : crlf_(crlfBreaks) {}

    // Encodes `data` into `out` (room for EncodedLengthMax(length) characters).
    // Unless `final`, up to two bytes at the end may be left for the next call,
    // because whether they are a line break or trailing white space depends on
    // what follows. Returns the bytes used; `written` gets the characters.
    std::size_t Encode(const unsigned char* data, std::size_t length, bool final, char* out, std::size_t& written);
    bool InLine() const { return column_ > 0; }
    // A soft break that leaves the output at the start of a line.
    std::size_t EndLine(char* out) {
        if (!InLine()) return 0;
        out[0] = '=';
        out[1] = '\n';
        column_ = 0;
        return 2;
    }

private:
    enum class Next { kMore, kBreak, kOther };
    // What follows the byte at `i`: a line break, something else, or not known yet.
    Next After(const unsigned char* data, std::size_t i, std::size_t length, bool final) const;
    void Token(const char* text, int count) {
        if (column_ + count > SMimeQuotedPrintable::kMaxLineLength - 1) {
            *out_++ = '=';
            *out_++ = '\n';
            column_ = 0;
        }
        std::memcpy(out_, text, static_cast<std::size_t>(count));
        out_ += count;
        column_ += count;
    }
    void Literal(unsigned char c) {
        char text = static_cast<char>(c);
        Token(&text, 1);
    }
    void Escape(unsigned char c) {
        const char text[3] = {'=', kHex[c >> 4], kHex[c & 0x0F]};
        Token(text, 3);
    }
    void HardBreak() {
        *out_++ = '\n';
        column_ = 0;
    }

    bool crlf_;
    int column_ = 0;
    char* out_ = nullptr;
};

QpEncoder::Next QpEncoder::After(const unsigned char* data, std::size_t i, std::size_t length, bool final) const {
    if (i + 1 >= length) return final ? Next::kBreak : Next::kMore;  // the end counts as a break
    if (!crlf_) return data[i + 1] == '\n' ? Next::kBreak : Next::kOther;
    if (data[i + 1] != '\r') return Next::kOther;
    if (i + 2 >= length) return final ? Next::kOther : Next::kMore;
    return data[i + 2] == '\n' ? Next::kBreak : Next::kOther;
}

std::size_t QpEncoder::Encode(const unsigned char* data, std::size_t length, bool final, char* out,
                              std::size_t& written) {
    out_ = out;
    std::size_t i = 0;
    while (i < length) {
        unsigned char c = data[i];
        if (crlf_ && c == '\r') {
            if (i + 1 >= length && !final) break;
            if (i + 1 < length && data[i + 1] == '\n') {
                HardBreak();
                i += 2;
                continue;
            }
            Escape(c);
        } else if (!crlf_ && c == '\n') {
            HardBreak();
        } else if (c == ' ' || c == '\t') {
            // White space at the end of a line would be lost in transport.
            Next next = After(data, i, length, final);
            if (next == Next::kMore) break;
            if (next == Next::kBreak)
                Escape(c);
            else
                Literal(c);
        } else if (c >= 33 && c <= 126 && c != '=') {
            Literal(c);
        } else {
            Escape(c);
        }
        ++i;
    }
    written = static_cast<std::size_t>(out_ - out);
    return i;
}

}  // namespace

int SMimeQuotedPrintable::DecodeBinary(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return 0;
    unsigned char* out = dest;
    while (*src) {
        if (*src != '=') {
            *out++ = *src++;
            continue;
        }
        if (!src[1] || !src[2]) break;
        *out++ = static_cast<unsigned char>((HexValue(src[1]) << 4) | HexValue(src[2]));
        src += 3;
    }
    return static_cast<int>(out - dest);
}

unsigned char* SMimeQuotedPrintable::Decode(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return nullptr;
    dest[DecodeBinary(src, dest)] = '\0';
    return dest;
}

unsigned char* SMimeQuotedPrintable::Encode(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return nullptr;
    QpEncoder encoder(false);
    std::size_t written;
    encoder.Encode(src, std::strlen(reinterpret_cast<const char*>(src)), true, reinterpret_cast<char*>(dest), written);
    dest[written] = '\0';
    return dest;
}

namespace {

// How many bytes at the end of a line piece belong to an escape that the cut
// split: "=" or "=" and one character.
int SplitEscape(const char* line, int length) {
    for (int i = 0; i < length; ++i) {
        if (line[i] != '=') continue;
        if (i + 2 >= length) return length - i;
        i += 2;
    }
    return 0;
}

}  // namespace

bool SMimeQuotedPrintable::DecodeFileBody(FILE* in, int outHandle, long endOffset, bool /*skipEmptyLines*/) {
    if (!BeginDecode(in)) return false;
    LineReader reader(in, endOffset);
    HandleWriter out(outHandle);
    // Room for two bytes carried over from a piece before.
    char line[kLineBufferSize + 2];
    int carried = 0;
    int piece;
    while ((piece = reader.Next(line + carried)) > 0) {
        int length = carried + piece;
        carried = 0;
        bool hardBreak = false;
        if (line[length - 1] == '\n') {
            line[--length] = '\0';
            hardBreak = length == 0 || line[length - 1] != '=';
        } else if (piece == kLineBufferSize - 1) {
            // The line goes on in the next piece: an escape cut in two waits for its rest.
            carried = SplitEscape(line, length);
            length -= carried;
        }
        char rest[2] = {line[length], carried > 1 ? line[length + 1] : '\0'};
        line[length] = '\0';
        // NUL bytes are copied; each stretch between them is decoded on its own.
        for (const char* p = line; p <= line + length; ++p) {
            std::size_t stretch = std::strlen(p);
            unsigned char* dest = out.Room(stretch);
            out.Commit(static_cast<std::size_t>(DecodeBinary(reinterpret_cast<const unsigned char*>(p), dest)));
            p += stretch;
            if (p < line + length) out.Write("", 1);
        }
        if (hardBreak) out.Write("\r\n", 2);
        if (out.Failed()) break;
        std::memcpy(line, rest, static_cast<std::size_t>(carried));
    }
    return EndDecode(out, reader, true);
}

bool SMimeQuotedPrintable::EncodeFileBody(int inHandle, FILE* out) {
    platform::TextFile stream;
    if (!BeginEncode(out, stream)) return false;
    constexpr std::size_t kBlock = 1 << 16;
    std::unique_ptr<unsigned char[]> raw(new unsigned char[kBlock + 2]);
    std::unique_ptr<char[]> text(new char[EncodedLengthMax(kBlock + 2) + 2]);
    QpEncoder encoder(true);
    std::size_t pending = 0;  // bytes left over from the block before
    bool final = false;
    while (!final) {
        long n = ReadFull(inHandle, raw.get() + pending, kBlock);
        if (n < 0) {
            SetError(kMimeErrorRead);
            return false;
        }
        final = static_cast<std::size_t>(n) < kBlock;
        std::size_t length = pending + static_cast<std::size_t>(n);
        std::size_t written;
        std::size_t used = encoder.Encode(raw.get(), length, final, text.get(), written);
        if (final) written += encoder.EndLine(text.get() + written);
        if (!stream.Write(text.get(), written)) {
            SetError(kMimeErrorWrite);
            return false;
        }
        pending = length - used;
        std::memmove(raw.get(), raw.get() + used, pending);
    }
    if (!stream.Flush()) {
        SetError(kMimeErrorWrite);
        return false;
    }
    return true;
}

#include "common/SMimeBase64.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kNotBase64 = 0xFF;
constexpr unsigned char kPadChar = 0xFE;

// The 6-bit value of each byte; kPadChar for "=", kNotBase64 for the rest.
struct DecodeTable {
    unsigned char value[256];
    constexpr DecodeTable() : value{} {
        for (unsigned char& v : value) v = kNotBase64;
        for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
        value[static_cast<unsigned char>('=')] = kPadChar;
    }
};
constexpr DecodeTable kDecode;

inline unsigned SixBits(unsigned char c) { return kDecode.value[c]; }

// Three bytes as four characters of the alphabet.
inline void EncodeGroup(const unsigned char* bytes, char* out) {
    unsigned v = (unsigned{bytes[0]} << 16) | (unsigned{bytes[1]} << 8) | bytes[2];
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[(v >> 12) & 0x3F];
    out[2] = kAlphabet[(v >> 6) & 0x3F];
    out[3] = kAlphabet[v & 0x3F];
}

// A group that holds padding or a character outside the alphabet: the
// characters before the first "=" are decoded when they are all valid and
// carry at least one whole byte. Returns the bytes written; `failed` is set when
// the group is not valid base64.
int DecodeOddGroup(const unsigned char* group, unsigned char* dest, bool& failed) {
    for (int i = 0; i < 4; ++i) {
        unsigned v = SixBits(group[i]);
        if (v < 64) continue;
        if (v == kPadChar && SMimeBase64::IsPad(reinterpret_cast<const char*>(group), i)) continue;
        failed = true;
    }
    unsigned char six[4] = {0, 0, 0, 0};
    int count = 0;
    for (; count < 4 && group[count] != '='; ++count) {
        unsigned v = SixBits(group[count]);
        if (v >= 64) return 0;  // undecodable: skipped
        six[count] = static_cast<unsigned char>(v);
    }
    // One character holds only six bits, not a byte: "A===" and "====" carry nothing.
    if (count < 2) {
        failed = true;
        return 0;
    }
    unsigned char bytes[3];
    SMimeBase64::DecodeBit(six, bytes);
    std::memcpy(dest, bytes, static_cast<std::size_t>(count - 1));
    return count - 1;
}

}  // namespace

bool SMimeBase64::IsBase64Char(char c) { return SixBits(static_cast<unsigned char>(c)) < 64; }

bool SMimeBase64::IsPad(const char* group, int position) {
    if (!group || position < 0 || position > 3) return false;
    for (int i = position; i < 4; ++i)
        if (group[i] != '=') return false;
    return group[4] == '\0';
}

void SMimeBase64::EncodeBit(const unsigned char* bytes, unsigned char* sixBits) {
    sixBits[0] = static_cast<unsigned char>(bytes[0] >> 2);
    sixBits[1] = static_cast<unsigned char>(((bytes[0] & 0x03) << 4) | (bytes[1] >> 4));
    sixBits[2] = static_cast<unsigned char>(((bytes[1] & 0x0F) << 2) | (bytes[2] >> 6));
    sixBits[3] = static_cast<unsigned char>(bytes[2] & 0x3F);
}

void SMimeBase64::DecodeBit(const unsigned char* sixBits, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>((sixBits[0] << 2) | (sixBits[1] >> 4));
    bytes[1] = static_cast<unsigned char>((sixBits[1] << 4) | (sixBits[2] >> 2));
    bytes[2] = static_cast<unsigned char>((sixBits[2] << 6) | sixBits[3]);
}

int SMimeBase64::EncodeBinary(const unsigned char* data, char* dest, int length) {
    if (!dest || length < 0 || (!data && length > 0)) return -1;
    char* out = dest;
    int i = 0;
    for (; i + 3 <= length; i += 3, out += 4) EncodeGroup(data + i, out);
    if (int rest = length - i; rest > 0) {
        // Missing bytes count as 0; their characters become padding.
        unsigned char bytes[3] = {data[i], rest > 1 ? data[i + 1] : static_cast<unsigned char>(0), 0};
        EncodeGroup(bytes, out);
        if (rest == 1) out[2] = '=';
        out[3] = '=';
        out += 4;
    }
    *out = '\0';
    return static_cast<int>(out - dest);
}

int SMimeBase64::EncodeToLines(const unsigned char* data, char* dest, int length) {
    if (!dest || length < 0 || (!data && length > 0)) return -1;
    int written = 0;
    for (int i = 0; i < length; i += kBytesPerLine) {
        int piece = length - i < kBytesPerLine ? length - i : kBytesPerLine;
        written += EncodeBinary(data + i, dest + written, piece);
        dest[written++] = '\n';
    }
    dest[written] = '\0';
    return written;
}

int SMimeBase64::DecodeBinary(const char* src, unsigned char* dest, bool ignoreLineEnds) {
    if (!src || !dest) return -1;
    if (ignoreLineEnds && std::strpbrk(src, "\r\n")) {
        std::string joined;
        for (const char* p = src; *p; ++p)
            if (*p != '\r' && *p != '\n') joined.push_back(*p);
        return DecodeBinary(joined.c_str(), dest, false);
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    unsigned char* out = dest;
    bool failed = false;
    while (*p) {
        if (!p[1] || !p[2] || !p[3]) {  // the text ends inside a group
            failed = true;
            break;
        }
        unsigned a = SixBits(p[0]), b = SixBits(p[1]), c = SixBits(p[2]), d = SixBits(p[3]);
        if ((a | b | c | d) < 64) {
            out[0] = static_cast<unsigned char>((a << 2) | (b >> 4));
            out[1] = static_cast<unsigned char>((b << 4) | (c >> 2));
            out[2] = static_cast<unsigned char>((c << 6) | d);
            out += 3;
        } else {
            out += DecodeOddGroup(p, out, failed);
        }
        p += 4;
    }
    return failed ? -1 : static_cast<int>(out - dest);
}

unsigned char* SMimeBase64::Encode(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return nullptr;
    std::size_t length = std::strlen(reinterpret_cast<const char*>(src));
    return EncodeBinary(src, reinterpret_cast<char*>(dest), static_cast<int>(length)) < 0 ? nullptr : dest;
}

unsigned char* SMimeBase64::Decode(const unsigned char* src, unsigned char* dest) {
    if (!src || !dest) return nullptr;
    int n = DecodeBinary(reinterpret_cast<const char*>(src), dest, false);
    if (n < 0) return nullptr;
    dest[n] = '\0';
    return dest;
}

bool SMimeBase64::DecodeFileBody(FILE* in, int outHandle, long endOffset, bool skipEmptyLines) {
    if (!BeginDecode(in)) return false;
    LineReader reader(in, endOffset);
    HandleWriter out(outHandle);
    char line[kLineBufferSize];
    bool ok = true;
    int length;
    while ((length = reader.Next(line)) > 0) {
        if (line[length - 1] == '\n') line[--length] = '\0';
        if (length == 0 && skipEmptyLines) continue;
        unsigned char* dest = out.Room(static_cast<std::size_t>(DecodedLengthMax(length)));
        // A NUL inside the line would hide the rest of it from the decoder.
        int n = std::memchr(line, '\0', static_cast<std::size_t>(length)) ? -1 : DecodeBinary(line, dest, false);
        if (n < 0) {
            SetError(kMimeErrorData);
            ok = false;
            continue;
        }
        out.Commit(static_cast<std::size_t>(n));
        if (out.Failed()) break;
    }
    return EndDecode(out, reader, ok);
}

bool SMimeBase64::EncodeFileBody(int inHandle, FILE* out) {
    platform::TextFile stream;
    if (!BeginEncode(out, stream)) return false;
    // Many whole chunks are read at once, and a read is filled up before it is
    // encoded, so every line but the last is full even when a pipe delivers less.
    constexpr int kBlock = kEncodeChunk * 120;
    std::unique_ptr<unsigned char[]> raw(new unsigned char[kBlock]);
    std::unique_ptr<char[]> text(new char[EncodedLinesLength(kBlock) + 1]);
    for (;;) {
        long n = ReadFull(inHandle, raw.get(), kBlock);
        if (n < 0) {
            SetError(kMimeErrorRead);
            return false;
        }
        if (n == 0) break;
        int length = EncodeToLines(raw.get(), text.get(), static_cast<int>(n));
        if (length < 0) {
            SetError(kMimeErrorData);
            return false;
        }
        if (!stream.Write(text.get(), static_cast<std::size_t>(length))) {
            SetError(kMimeErrorWrite);
            return false;
        }
        if (n < kBlock) break;
    }
    if (!stream.Flush()) {
        SetError(kMimeErrorWrite);
        return false;
    }
    return true;
}

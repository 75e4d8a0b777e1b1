#include "outside/unlha32/LhaArchiveReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "outside/unlha32/Lh5Decoder.h"
#include "outside/unlha32/LhaCrc16.h"
#include "outside/unlha32/LhaFormat.h"
#include "outside/unlha32/UnlhaApi.h"

namespace lha {

namespace {

// The entry's data, and no byte past it.
class EntrySource : public ByteSource {
public:
    EntrySource(std::FILE* file, std::uint64_t length) : file_(file), left_(length) {}
    std::size_t Read(std::uint8_t* data, std::size_t length) override {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, left_));
        if (want == 0) return 0;
        const std::size_t got = std::fread(data, 1, want, file_);
        if (got < want) failed_ = true;
        left_ -= got;
        return got;
    }
    bool Failed() const override { return failed_; }

private:
    std::FILE* file_;
    std::uint64_t left_;
    bool failed_ = false;
};

// Counts and checks what goes to the caller's sink.
class CheckingSink : public ByteSink {
public:
    explicit CheckingSink(ByteSink& out) : out_(out) {}
    bool Write(const std::uint8_t* data, std::size_t length) override {
        crc_.Update(data, length);
        size_ += length;
        refused_ = !out_.Write(data, length);
        return !refused_;
    }
    bool Refused() const { return refused_; }
    std::uint16_t Crc() const { return crc_.Value(); }
    std::uint64_t Size() const { return size_; }

private:
    ByteSink& out_;
    LhaCrc16 crc_;
    std::uint64_t size_ = 0;
    bool refused_ = false;
};

}  // namespace

int DictionaryBits(const char* method) {
    static const struct {
        const char* name;
        int bits;
    } kMethods[] = {{"-lh4-", 12}, {"-lh5-", 13}, {"-lh6-", 15}, {"-lh7-", 16}};
    for (const auto& m : kMethods)
        if (std::string(method) == m.name) return m.bits;
    return 0;
}

LhaArchiveReader::~LhaArchiveReader() {
    if (file_) std::fclose(file_);
}

bool LhaArchiveReader::Open(const std::string& nativePath) {
    file_ = std::fopen(nativePath.c_str(), "rb");
    if (!file_) return false;
    struct stat st{};
    if (::fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    Rewind();
    return true;
}

void LhaArchiveReader::Rewind() {
    next_ = 0;
    hasCurrent_ = false;
}

HeaderRead LhaArchiveReader::Next(LhaHeader& header) {
    hasCurrent_ = false;
    if (!file_ || fseeko(file_, static_cast<off_t>(next_), SEEK_SET) != 0) return HeaderRead::Damaged;
    const HeaderRead read = ReadHeader(file_, next_, fileSize_, header);
    if (read != HeaderRead::Entry) return read;
    next_ = header.dataOffset + header.compressedSize;
    current_ = header;
    hasCurrent_ = true;
    return read;
}

int LhaArchiveReader::ExtractCurrent(ByteSink& out) {
    if (!hasCurrent_) return UNLHA_ERROR_NO_ENTRY;
    const LhaHeader& h = current_;
    if (h.method == "-lhd-") return h.originalSize == 0 ? UNLHA_OK : UNLHA_ERROR_BROKEN;
    if (fseeko(file_, static_cast<off_t>(h.dataOffset), SEEK_SET) != 0) return UNLHA_ERROR_BROKEN;
    EntrySource source(file_, h.compressedSize);
    CheckingSink sink(out);
    if (h.method == "-lh0-") {
        if (h.compressedSize != h.originalSize) return UNLHA_ERROR_BROKEN;
        std::vector<std::uint8_t> chunk(65536);
        while (std::size_t n = source.Read(chunk.data(), chunk.size()))
            if (!sink.Write(chunk.data(), n)) return UNLHA_ERROR_BUFFER;
        if (source.Failed()) return UNLHA_ERROR_BROKEN;
    } else if (const int bits = DictionaryBits(h.method.c_str())) {
        Lh5Decoder decoder(bits, source, h.compressedSize);
        if (!decoder.Decode(h.originalSize, sink)) return sink.Refused() ? UNLHA_ERROR_BUFFER : UNLHA_ERROR_BROKEN;
    } else {
        return UNLHA_ERROR_METHOD;
    }
    if (sink.Size() != h.originalSize) return UNLHA_ERROR_BROKEN;
    if (h.hasCrc && sink.Crc() != h.crc) return UNLHA_ERROR_BROKEN;
    return UNLHA_OK;
}

}  // namespace lha

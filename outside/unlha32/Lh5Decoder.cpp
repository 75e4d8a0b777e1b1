#include "outside/unlha32/Lh5Decoder.h"

#include <algorithm>

#include "outside/unlha32/LhaFormat.h"

namespace lha {

Lh5Decoder::Lh5Decoder(int dictionaryBits, ByteSource& in, std::uint64_t compressedSize)
    : dictionaryBits_(dictionaryBits), in_(in), compressedBits_(compressedSize * 8), input_(16384) {}

void Lh5Decoder::Fill() {
    while (bitCount_ <= 56) {
        if (inputPos_ == inputEnd_) {
            // Past the entry's data the format reads zero bits.
            const std::uint64_t left = compressedBits_ / 8 - std::min(compressedBits_ / 8, readBytes_);
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, input_.size()));
            inputEnd_ = want ? in_.Read(input_.data(), want) : 0;
            inputPos_ = 0;
            readBytes_ += inputEnd_;
            if (inputEnd_ == 0) {
                bitBuffer_ |= 0;
                bitCount_ += 8;
                continue;
            }
        }
        bitBuffer_ |= std::uint64_t(input_[inputPos_++]) << (56 - bitCount_);
        bitCount_ += 8;
    }
}

std::uint32_t Lh5Decoder::Peek16() {
    if (bitCount_ < 16) Fill();
    return static_cast<std::uint32_t>(bitBuffer_ >> 48);
}

void Lh5Decoder::Skip(int count) {
    if (bitCount_ < count) Fill();
    bitBuffer_ <<= count;
    bitCount_ -= count;
    consumedBits_ += static_cast<std::uint64_t>(count);
}

std::uint32_t Lh5Decoder::Get(int count) {
    if (count == 0) return 0;
    const std::uint32_t value = Peek16() >> (16 - count);
    Skip(count);
    return value;
}

bool Lh5Decoder::ReadLengthTable(HuffmanTable& table, int count, int countBits, int special) {
    const int n = static_cast<int>(Get(countBits));
    if (n > count) return false;
    if (n == 0) {
        const int only = static_cast<int>(Get(countBits));
        if (only >= count) return false;
        table.BuildSingle(only);
        return true;
    }
    std::uint8_t lengths[kLengthCodeCount + kMaxPositionCount] = {};
    int i = 0;
    while (i < n) {
        int len = static_cast<int>(Get(3));
        if (len == 7) {
            while (Get(1) == 1) {
                if (++len > kMaxCodeLength) return false;
            }
        }
        lengths[i++] = static_cast<std::uint8_t>(len);
        if (i == special) {
            int zeros = static_cast<int>(Get(2));
            while (zeros-- > 0 && i < count) lengths[i++] = 0;
        }
        if (Overrun()) return false;
    }
    return table.Build(lengths, count);
}

bool Lh5Decoder::ReadCodeTable() {
    const int n = static_cast<int>(Get(kCodeBits));
    if (n > kCodeCount) return false;
    if (n == 0) {
        const int only = static_cast<int>(Get(kCodeBits));
        if (only >= kCodeCount) return false;
        codes_.BuildSingle(only);
        return true;
    }
    std::uint8_t lengths[kCodeCount] = {};
    int i = 0;
    while (i < n) {
        int used = 0;
        const int t = lengthCodes_.Decode(Peek16(), used);
        if (t < 0) return false;
        Skip(used);
        if (t <= 2) {
            const int run = t == 0 ? 1 : t == 1 ? static_cast<int>(Get(4)) + 3 : static_cast<int>(Get(kCodeBits)) + 20;
            if (i + run > n) return false;
            i += run;  // the lengths are zero already
        } else {
            lengths[i++] = static_cast<std::uint8_t>(t - 2);
        }
        if (Overrun()) return false;
    }
    return codes_.Build(lengths, kCodeCount);
}

bool Lh5Decoder::ReadBlockHead() {
    blockLeft_ = Get(16);
    if (blockLeft_ == 0) return false;
    if (!ReadLengthTable(lengthCodes_, kLengthCodeCount, kLengthCodeBits, kLengthCodeSpecial)) return false;
    if (!ReadCodeTable()) return false;
    const int np = PositionCount(dictionaryBits_);
    if (!ReadLengthTable(positions_, np, PositionBits(dictionaryBits_), -1)) return false;
    return !Overrun();
}

bool Lh5Decoder::Decode(std::uint64_t originalSize, ByteSink& out) {
    if (dictionaryBits_ < 12 || dictionaryBits_ > 16) return false;
    // The window starts out as blanks, as LHA's does.
    const std::size_t windowSize = std::size_t(1) << dictionaryBits_;
    const std::size_t mask = windowSize - 1;
    std::vector<std::uint8_t> window(windowSize, ' ');
    std::size_t at = 0;       // next position in the window
    std::size_t flushed = 0;  // window position up to which out has the data
    std::uint64_t left = originalSize;
    const auto flush = [&]() {
        const bool ok = out.Write(window.data() + flushed, at - flushed);
        flushed = at;
        return ok;
    };
    while (left > 0) {
        if (blockLeft_ == 0 && !ReadBlockHead()) return false;
        --blockLeft_;
        int used = 0;
        const int c = codes_.Decode(Peek16(), used);
        if (c < 0) return false;
        Skip(used);
        if (c < 256) {
            window[at++] = static_cast<std::uint8_t>(c);
            --left;
        } else {
            int p = positions_.Decode(Peek16(), used);
            if (p < 0) return false;
            Skip(used);
            std::uint32_t offset = static_cast<std::uint32_t>(p);
            if (p > 1) offset = (1u << (p - 1)) + Get(p - 1);
            std::uint64_t length = static_cast<std::uint64_t>(c - 256 + kMinMatch);
            length = std::min(length, left);
            left -= length;
            std::size_t from = (at - offset - 1) & mask;
            while (length--) {
                window[at++] = window[from];
                from = (from + 1) & mask;
                if (at == windowSize) {
                    if (!flush()) return false;
                    at = flushed = 0;
                }
            }
        }
        if (at == windowSize) {
            if (!flush()) return false;
            at = flushed = 0;
        }
        if (Overrun()) return false;
    }
    return flush() && !in_.Failed();
}

}  // namespace lha

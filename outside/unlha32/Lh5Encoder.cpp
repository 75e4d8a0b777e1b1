#include "outside/unlha32/Lh5Encoder.h"

#include <algorithm>
#include <cstring>

#include "outside/unlha32/LhaHuffman.h"

namespace lha {

namespace {

constexpr int kDictionaryBits = 13;
constexpr int kWindow = 1 << kDictionaryBits;
constexpr int kPositionCount = kDictionaryBits + 1;  // NP of -lh5-
constexpr int kPositionBits = 4;                     // PBIT of -lh5-
constexpr int kHashBits = 15;
constexpr std::size_t kBufferSize = 4 * kWindow + 2 * kMaxMatch;
// Search effort: chains this long, and no lazy look after a match this good.
constexpr int kMaxChain = 128;
constexpr int kLazyLimit = 32;
// A 3-byte match this far back costs more bits than three literals.
constexpr int kTooFar = 4096;
// Symbols per block (the format allows up to 65535).
constexpr std::size_t kBlockSymbols = 16384;

// The position code of distance - 1: its bit length.
int PositionCode(unsigned offset) {
    int bits = 0;
    while (offset) {
        ++bits;
        offset >>= 1;
    }
    return bits;
}

}  // namespace

Lh5Encoder::Lh5Encoder() { Reset(); }

void Lh5Encoder::Reset() {
    buffer_.assign(kBufferSize, 0);
    base_ = end_ = pos_ = 0;
    hasPending_ = false;
    head_.assign(std::size_t(1) << kHashBits, -1);
    prev_.assign(kWindow, -1);
    codes_.clear();
    positions_.clear();
    codes_.reserve(kBlockSymbols);
    positions_.reserve(kBlockSymbols);
    std::fill(std::begin(codeFreq_), std::end(codeFreq_), 0);
    std::fill(std::begin(positionFreq_), std::end(positionFreq_), 0);
    out_.clear();
    bits_.Reset();
}

void Lh5Encoder::Feed(const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        std::size_t filled = static_cast<std::size_t>(end_ - base_);
        if (filled == buffer_.size()) {
            // Keep the window behind the next position and what lies ahead.
            const std::int64_t keepFrom = std::max<std::int64_t>(base_, pos_ - kWindow);
            const std::size_t shift = static_cast<std::size_t>(keepFrom - base_);
            std::memmove(buffer_.data(), buffer_.data() + shift, filled - shift);
            base_ = keepFrom;
            filled -= shift;
        }
        const std::size_t room = std::min(length, buffer_.size() - filled);
        std::memcpy(buffer_.data() + filled, p, room);
        end_ += static_cast<std::int64_t>(room);
        p += room;
        length -= room;
        Encode(false);
    }
}

void Lh5Encoder::Finish() {
    Encode(true);
    if (!codes_.empty()) FlushBlock();
    bits_.Flush();
}

std::uint32_t Lh5Encoder::HashAt(std::int64_t pos) const {
    const std::uint8_t* s = At(pos);
    return ((std::uint32_t(s[0]) << 10) ^ (std::uint32_t(s[1]) << 5) ^ s[2]) & ((1u << kHashBits) - 1);
}

void Lh5Encoder::Insert(std::int64_t pos) {
    if (end_ - pos < kMinMatch) return;
    const std::uint32_t h = HashAt(pos);
    prev_[static_cast<std::size_t>(pos & (kWindow - 1))] = head_[h];
    head_[h] = pos;
}

Lh5Encoder::Match Lh5Encoder::FindMatch(std::int64_t pos) const {
    Match best;
    const int limit = static_cast<int>(std::min<std::int64_t>(kMaxMatch, end_ - pos));
    if (limit < kMinMatch) return best;
    const std::uint8_t* s = At(pos);
    std::int64_t candidate = head_[HashAt(pos)];
    for (int chain = kMaxChain; chain > 0 && candidate >= 0 && pos - candidate <= kWindow; --chain) {
        const std::uint8_t* c = At(candidate);
        if (c[best.length] == s[best.length] && c[0] == s[0]) {
            int len = 0;
            while (len < limit && c[len] == s[len]) ++len;
            if (len > best.length) {
                best.length = len;
                best.distance = static_cast<int>(pos - candidate);
                if (len == limit) break;
            }
        }
        const std::int64_t next = prev_[static_cast<std::size_t>(candidate & (kWindow - 1))];
        if (next >= candidate) break;  // the slot was taken by a newer position
        candidate = next;
    }
    if (best.length == kMinMatch && best.distance > kTooFar) best.length = 0;
    if (best.length < kMinMatch) best.length = 0;
    return best;
}

void Lh5Encoder::Encode(bool final) {
    // Short of the end, keep room for the longest match and one lazy look.
    const std::int64_t stop = final ? end_ : end_ - (kMaxMatch + 2);
    while (pos_ < stop) {
        Match m = hasPending_ ? pending_ : FindMatch(pos_);
        hasPending_ = false;
        Insert(pos_);
        if (m.length == 0) {
            Literal(*At(pos_));
            ++pos_;
            continue;
        }
        if (m.length < kLazyLimit && pos_ + 1 < end_) {
            const Match next = FindMatch(pos_ + 1);
            if (next.length > m.length) {
                Literal(*At(pos_));
                ++pos_;
                pending_ = next;
                hasPending_ = true;
                continue;
            }
        }
        Copy(m.length, m.distance);
        for (int k = 1; k < m.length; ++k) Insert(pos_ + k);
        pos_ += m.length;
    }
}

void Lh5Encoder::Literal(std::uint8_t byte) {
    codes_.push_back(byte);
    positions_.push_back(0);
    ++codeFreq_[byte];
    if (codes_.size() == kBlockSymbols) FlushBlock();
}

void Lh5Encoder::Copy(int length, int distance) {
    const auto code = static_cast<std::uint16_t>(256 + length - kMinMatch);
    const auto offset = static_cast<std::uint16_t>(distance - 1);
    codes_.push_back(code);
    positions_.push_back(offset);
    ++codeFreq_[code];
    ++positionFreq_[PositionCode(offset)];
    if (codes_.size() == kBlockSymbols) FlushBlock();
}

void Lh5Encoder::WriteLengthTable(const std::uint8_t* lengths, int count, int countBits, int special) {
    int n = count;
    while (n > 0 && lengths[n - 1] == 0) --n;
    bits_.Put(countBits, static_cast<std::uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = lengths[i++];
        if (k <= 6) bits_.Put(3, static_cast<std::uint32_t>(k));
        else bits_.Put(k - 3, (1u << (k - 3)) - 2);  // 111, then a one per step past 7, then 0
        if (i == special) {
            int zeros = 0;
            while (i < n && zeros < 3 && lengths[i] == 0) {
                ++i;
                ++zeros;
            }
            bits_.Put(2, static_cast<std::uint32_t>(zeros));
        }
    }
}

namespace {

// Runs of zero lengths in the code table as the length code writes them:
// calls `zero(run)` for each run and `value(len)` for each other length.
template <typename Zero, typename Value>
int WalkCodeLengths(const std::uint8_t* lengths, Zero zero, Value value) {
    int n = kCodeCount;
    while (n > 0 && lengths[n - 1] == 0) --n;
    for (int i = 0; i < n;) {
        if (lengths[i] == 0) {
            int run = 0;
            while (i < n && lengths[i] == 0) {
                ++i;
                ++run;
            }
            zero(run);
        } else {
            value(lengths[i++]);
        }
    }
    return n;
}

}  // namespace

void Lh5Encoder::WriteCodeTable(const std::uint8_t* codeLengths, const std::uint8_t* tLengths, const std::uint16_t* tCodes) {
    int n = kCodeCount;
    while (n > 0 && codeLengths[n - 1] == 0) --n;
    bits_.Put(kCodeBits, static_cast<std::uint32_t>(n));
    const auto put = [&](int t) { bits_.Put(tLengths[t], tCodes[t]); };
    WalkCodeLengths(
        codeLengths,
        [&](int run) {
            if (run <= 2) {
                for (int k = 0; k < run; ++k) put(0);
            } else if (run <= 18) {
                put(1);
                bits_.Put(4, static_cast<std::uint32_t>(run - 3));
            } else if (run == 19) {
                put(0);
                put(1);
                bits_.Put(4, 15);
            } else {
                put(2);
                bits_.Put(kCodeBits, static_cast<std::uint32_t>(run - 20));
            }
        },
        [&](int len) { put(len + 2); });
}

void Lh5Encoder::FlushBlock() {
    std::uint8_t codeLengths[kCodeCount];
    std::uint16_t codeCodes[kCodeCount];
    const int codesUsed = BuildCodeLengths(codeFreq_, kCodeCount, codeLengths);
    MakeCodes(codeLengths, kCodeCount, codeCodes);
    bits_.Put(16, static_cast<std::uint32_t>(codes_.size()));
    if (codesUsed > 1) {
        std::uint32_t tFreq[kLengthCodeCount] = {};
        WalkCodeLengths(
            codeLengths,
            [&](int run) {
                if (run <= 2) tFreq[0] += static_cast<std::uint32_t>(run);
                else if (run <= 18) ++tFreq[1];
                else if (run == 19) ++tFreq[0], ++tFreq[1];
                else ++tFreq[2];
            },
            [&](int len) { ++tFreq[len + 2]; });
        std::uint8_t tLengths[kLengthCodeCount];
        std::uint16_t tCodes[kLengthCodeCount];
        const int tUsed = BuildCodeLengths(tFreq, kLengthCodeCount, tLengths);
        MakeCodes(tLengths, kLengthCodeCount, tCodes);
        if (tUsed > 1) {
            WriteLengthTable(tLengths, kLengthCodeCount, kLengthCodeBits, kLengthCodeSpecial);
        } else {
            const int only = static_cast<int>(std::max_element(tFreq, tFreq + kLengthCodeCount) - tFreq);
            bits_.Put(kLengthCodeBits, 0);
            bits_.Put(kLengthCodeBits, static_cast<std::uint32_t>(only));
        }
        WriteCodeTable(codeLengths, tLengths, tCodes);
    } else {
        const int only = static_cast<int>(std::max_element(codeFreq_, codeFreq_ + kCodeCount) - codeFreq_);
        bits_.Put(kLengthCodeBits, 0);
        bits_.Put(kLengthCodeBits, 0);
        bits_.Put(kCodeBits, 0);
        bits_.Put(kCodeBits, static_cast<std::uint32_t>(only));
    }
    std::uint8_t posLengths[kMaxPositionCount] = {};
    std::uint16_t posCodes[kMaxPositionCount] = {};
    const int posUsed = BuildCodeLengths(positionFreq_, kPositionCount, posLengths);
    MakeCodes(posLengths, kPositionCount, posCodes);
    if (posUsed > 1) {
        WriteLengthTable(posLengths, kPositionCount, kPositionBits, -1);
    } else {
        const int only = static_cast<int>(std::max_element(positionFreq_, positionFreq_ + kPositionCount) - positionFreq_);
        bits_.Put(kPositionBits, 0);
        bits_.Put(kPositionBits, static_cast<std::uint32_t>(only));
    }
    for (std::size_t i = 0; i < codes_.size(); ++i) {
        const int c = codes_[i];
        bits_.Put(codeLengths[c], codeCodes[c]);
        if (c >= 256) {
            const unsigned offset = positions_[i];
            const int p = PositionCode(offset);
            bits_.Put(posLengths[p], posCodes[p]);
            if (p > 1) bits_.Put(p - 1, offset & ((1u << (p - 1)) - 1));
        }
    }
    codes_.clear();
    positions_.clear();
    std::fill(std::begin(codeFreq_), std::end(codeFreq_), 0);
    std::fill(std::begin(positionFreq_), std::end(positionFreq_), 0);
}

}  // namespace lha

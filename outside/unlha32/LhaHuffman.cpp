#include "outside/unlha32/LhaHuffman.h"

#include <algorithm>
#include <queue>

namespace lha {

namespace {

// Unlimited Huffman lengths by the usual pairing of the two rarest nodes.
void PlainLengths(const std::vector<int>& symbols, const std::uint32_t* freq, std::vector<int>& depth) {
    const int n = static_cast<int>(symbols.size());
    std::vector<std::uint64_t> weight(static_cast<std::size_t>(2 * n));
    std::vector<int> parent(static_cast<std::size_t>(2 * n), -1);
    using Node = std::pair<std::uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
    for (int i = 0; i < n; ++i) {
        weight[static_cast<std::size_t>(i)] = freq[symbols[static_cast<std::size_t>(i)]];
        heap.push({weight[static_cast<std::size_t>(i)], i});
    }
    int next = n;
    while (heap.size() > 1) {
        const Node a = heap.top();
        heap.pop();
        const Node b = heap.top();
        heap.pop();
        weight[static_cast<std::size_t>(next)] = a.first + b.first;
        parent[static_cast<std::size_t>(a.second)] = next;
        parent[static_cast<std::size_t>(b.second)] = next;
        heap.push({a.first + b.first, next});
        ++next;
    }
    depth.assign(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        int d = 0;
        for (int p = parent[static_cast<std::size_t>(i)]; p >= 0; p = parent[static_cast<std::size_t>(p)]) ++d;
        depth[static_cast<std::size_t>(i)] = d;
    }
}

}  // namespace

int BuildCodeLengths(const std::uint32_t* freq, int count, std::uint8_t* lengths) {
    std::vector<int> used;
    for (int i = 0; i < count; ++i) {
        lengths[i] = 0;
        if (freq[i]) used.push_back(i);
    }
    const int n = static_cast<int>(used.size());
    if (n <= 1) return n;
    std::vector<int> depth;
    PlainLengths(used, freq, depth);
    // Count the lengths, fold everything longer than 16 into 16, then take
    // room back from shorter codes until the code space is exactly full.
    unsigned lengthCount[64] = {};
    for (int d : depth) ++lengthCount[std::min(d, 63)];
    for (int d = kMaxCodeLength + 1; d < 64; ++d) {
        lengthCount[kMaxCodeLength] += lengthCount[d];
        lengthCount[d] = 0;
    }
    std::uint64_t space = 0;
    for (int d = 1; d <= kMaxCodeLength; ++d) space += std::uint64_t(lengthCount[d]) << (kMaxCodeLength - d);
    while (space > (1u << kMaxCodeLength)) {
        --lengthCount[kMaxCodeLength];
        for (int d = kMaxCodeLength - 1; d > 0; --d) {
            if (lengthCount[d]) {
                --lengthCount[d];
                lengthCount[d + 1] += 2;
                break;
            }
        }
        --space;
    }
    // The rarest symbols take the longest codes.
    std::vector<int> byFreq = used;
    std::stable_sort(byFreq.begin(), byFreq.end(), [freq](int a, int b) { return freq[a] < freq[b]; });
    std::size_t k = 0;
    for (int d = kMaxCodeLength; d >= 1; --d)
        for (unsigned c = 0; c < lengthCount[d]; ++c) lengths[byFreq[k++]] = static_cast<std::uint8_t>(d);
    return n;
}

void MakeCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
    unsigned lengthCount[kMaxCodeLength + 1] = {};
    for (int i = 0; i < count; ++i) ++lengthCount[lengths[i]];
    lengthCount[0] = 0;
    unsigned next[kMaxCodeLength + 2] = {};
    unsigned code = 0;
    for (int d = 1; d <= kMaxCodeLength; ++d) {
        code = (code + lengthCount[d - 1]) << 1;
        next[d] = code;
    }
    for (int i = 0; i < count; ++i)
        codes[i] = lengths[i] ? static_cast<std::uint16_t>(next[lengths[i]]++) : 0;
}

bool HuffmanTable::Build(const std::uint8_t* lengths, int count) {
    single_ = -1;
    std::fill(std::begin(counts_), std::end(counts_), 0);
    for (int i = 0; i < count; ++i) {
        if (lengths[i] > kMaxCodeLength) return false;
        ++counts_[lengths[i]];
    }
    counts_[0] = 0;
    std::uint32_t space = 0;
    for (int d = 1; d <= kMaxCodeLength; ++d) space += std::uint32_t(counts_[d]) << (kMaxCodeLength - d);
    if (space > (1u << kMaxCodeLength)) return false;
    // Symbols in canonical order.
    unsigned offsets[kMaxCodeLength + 2] = {};
    for (int d = 1; d <= kMaxCodeLength; ++d) offsets[d + 1] = offsets[d] + counts_[d];
    sorted_.assign(offsets[kMaxCodeLength + 1], 0);
    for (int i = 0; i < count; ++i)
        if (lengths[i]) sorted_[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
    // The direct table: each short code fills the entries it prefixes.
    lookup_.assign(1u << kLookupBits, 0xFFFF);
    std::vector<std::uint16_t> codes(static_cast<std::size_t>(count));
    MakeCodes(lengths, count, codes.data());
    for (int i = 0; i < count; ++i) {
        const int len = lengths[i];
        if (len == 0 || len > kLookupBits) continue;
        const unsigned first = unsigned(codes[static_cast<std::size_t>(i)]) << (kLookupBits - len);
        const unsigned fill = 1u << (kLookupBits - len);
        for (unsigned k = 0; k < fill; ++k) lookup_[first + k] = static_cast<std::uint16_t>(i << 5 | len);
    }
    return true;
}

void HuffmanTable::BuildSingle(int symbol) {
    single_ = symbol;
    lookup_.clear();
    sorted_.clear();
}

int HuffmanTable::Decode(std::uint32_t window16, int& length) const {
    if (single_ >= 0) {
        length = 0;
        return single_;
    }
    const std::uint16_t direct = lookup_[window16 >> (16 - kLookupBits)];
    if (direct != 0xFFFF) {
        length = direct & 31;
        return direct >> 5;
    }
    // Canonical decoding, one bit at a time.
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        code |= (window16 >> (16 - len)) & 1;
        const int c = counts_[len];
        if (code - c < first) {
            length = len;
            return sorted_[static_cast<std::size_t>(index + (code - first))];
        }
        index += c;
        first += c;
        first <<= 1;
        code <<= 1;
    }
    return -1;
}

}  // namespace lha

#include "zip/deflate/huffman_code.h"

#include <algorithm>
#include <array>

#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {
namespace {

constexpr std::size_t kMaxSymbols = kNumFixedLitLenSymbols;

using SymbolList = std::array<std::uint16_t, kMaxSymbols>;
// Counts of leaves per depth. An unlimited Huffman tree over n leaves is at most n - 1 deep.
using DepthCounts = std::array<std::uint32_t, kMaxSymbols + 1>;

// The used symbols (padded to two), least frequent first; ties go by symbol number so that the
// result does not depend on the sort.
std::size_t OrderByFrequency(std::span<const std::uint32_t> frequencies, SymbolList& order) {
    std::size_t used = 0;
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        if (frequencies[s] != 0) {
            order[used++] = static_cast<std::uint16_t>(s);
        }
    }
    for (std::size_t s = 0; used < 2 && s < frequencies.size(); ++s) {
        if (frequencies[s] == 0) {
            order[used++] = static_cast<std::uint16_t>(s);
        }
    }
    std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(used),
              [&](std::uint16_t a, std::uint16_t b) {
                  return frequencies[a] != frequencies[b] ? frequencies[a] < frequencies[b] : a < b;
              });
    return used;
}

// Huffman's construction with two queues: the sorted leaves, and the internal nodes, which are
// made in order of rising weight. Returns the number of leaves at each depth and the greatest
// depth.
unsigned CountLeafDepths(std::span<const std::uint32_t> frequencies, const SymbolList& order,
                         std::size_t used, DepthCounts& counts) {
    std::array<std::uint64_t, kMaxSymbols> nodeWeight{};
    std::array<std::uint16_t, kMaxSymbols> nodeParent{};
    std::array<std::uint16_t, kMaxSymbols> leafParent{};
    std::size_t leaf = 0;
    std::size_t node = 0;
    for (std::size_t made = 0; made + 1 < used; ++made) {
        std::uint64_t weight = 0;
        for (int pick = 0; pick < 2; ++pick) {
            const bool takeLeaf =
                leaf < used && (node == made || frequencies[order[leaf]] <= nodeWeight[node]);
            if (takeLeaf) {
                weight += frequencies[order[leaf]];
                leafParent[leaf++] = static_cast<std::uint16_t>(made);
            } else {
                weight += nodeWeight[node];
                nodeParent[node++] = static_cast<std::uint16_t>(made);
            }
        }
        nodeWeight[made] = weight;
    }
    // Parents are made after their children, so one downward pass from the root gives depths.
    std::array<std::uint16_t, kMaxSymbols> nodeDepth{};
    const std::size_t root = used - 2;
    for (std::size_t m = root; m-- > 0;) {
        nodeDepth[m] = static_cast<std::uint16_t>(nodeDepth[nodeParent[m]] + 1);
    }
    counts.fill(0);
    unsigned deepest = 0;
    for (std::size_t i = 0; i < used; ++i) {
        const unsigned depth = nodeDepth[leafParent[i]] + 1u;
        ++counts[depth];
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

// Lifts leaves above the limit while keeping the code complete: two sibling leaves at the
// bottom give way to their parent, and one of them moves under the deepest leaf that may still
// grow. Each step keeps both the number of leaves and the Kraft sum.
void LimitDepths(DepthCounts& counts, unsigned deepest, unsigned maxLength) {
    for (unsigned depth = deepest; depth > maxLength; --depth) {
        while (counts[depth] > 0) {
            unsigned shallower = depth - 2;
            while (counts[shallower] == 0) {
                --shallower;
            }
            counts[depth] -= 2;
            counts[depth - 1] += 1;
            counts[shallower + 1] += 2;
            counts[shallower] -= 1;
        }
    }
}

}  // namespace

bool BuildCodeLengths(std::span<const std::uint32_t> frequencies, unsigned maxLength,
                      std::span<std::uint8_t> lengths) {
    std::fill(lengths.begin(), lengths.end(), std::uint8_t{0});
    SymbolList order{};
    const std::size_t used = OrderByFrequency(frequencies, order);
    DepthCounts counts{};
    const unsigned deepest = CountLeafDepths(frequencies, order, used, counts);
    if (deepest > maxLength) {
        LimitDepths(counts, deepest, maxLength);
    }
    // The least frequent symbols take the longest codes.
    std::size_t next = 0;
    std::uint64_t kraft = 0;
    for (unsigned length = std::min(deepest, maxLength); length >= 1; --length) {
        for (std::uint32_t i = 0; i < counts[length]; ++i) {
            lengths[order[next++]] = static_cast<std::uint8_t>(length);
        }
        kraft += static_cast<std::uint64_t>(counts[length]) << (maxLength - length);
    }
    return next == used && kraft == (std::uint64_t{1} << maxLength);
}

void BuildCanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes) {
    std::array<std::uint32_t, kMaxCodeLength + 2> lengthCount{};
    for (const std::uint8_t length : lengths) {
        ++lengthCount[length];
    }
    lengthCount[0] = 0;
    std::array<std::uint32_t, kMaxCodeLength + 2> nextCode{};
    std::uint32_t code = 0;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        code = (code + lengthCount[length - 1]) << 1;
        nextCode[length] = code;
    }
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        const unsigned length = lengths[s];
        codes[s] =
            length == 0 ? 0 : static_cast<std::uint16_t>(ReverseBits(nextCode[length]++, length));
    }
}

}  // namespace arkivo::deflate

#include "zip/deflate/huffman_code.h"

#include <algorithm>
#include <array>

#include "zip/deflate/deflate_format.h"

namespace arkivo::deflate {
namespace {

constexpr std::size_t kMaxSymbols = kNumFixedLitLenSymbols;
constexpr std::size_t kMaxItems = 2 * kMaxSymbols;

using SymbolList = std::array<std::uint16_t, kMaxSymbols>;

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

// Package-merge (Larmore and Hirschberg), which gives optimal lengths under a limit. List 0
// holds the leaves; each further list merges the leaves with packages of two neighbouring items
// of the list before it. Taking the cheapest 2n - 2 items of the last list, and following the
// packages back, a leaf's code length is the number of lists in which it is taken. Since every
// list is sorted and packages pair neighbours, the taken items of each list are a prefix, so it
// suffices to remember which positions of each list hold leaves.
void PackageMerge(std::span<const std::uint32_t> frequencies, const SymbolList& order,
                  std::size_t used, unsigned maxLength, std::span<std::uint8_t> lengths) {
    std::array<std::uint64_t, kMaxItems> previous{};
    std::array<std::uint64_t, kMaxItems> current{};
    std::array<std::array<bool, kMaxItems>, kMaxCodeLength> isLeaf{};
    std::size_t previousSize = used;
    for (std::size_t i = 0; i < used; ++i) {
        previous[i] = frequencies[order[i]];
        isLeaf[0][i] = true;
    }
    for (unsigned list = 1; list < maxLength; ++list) {
        const std::size_t packages = previousSize / 2;
        std::size_t leaf = 0;
        std::size_t package = 0;
        std::size_t size = 0;
        while (leaf < used || package < packages) {
            const std::uint64_t packageWeight =
                package < packages ? previous[2 * package] + previous[2 * package + 1] : 0;
            const bool takeLeaf =
                leaf < used && (package == packages || frequencies[order[leaf]] <= packageWeight);
            isLeaf[list][size] = takeLeaf;
            current[size++] = takeLeaf ? frequencies[order[leaf++]] : (++package, packageWeight);
        }
        previous = current;
        previousSize = size;
    }
    std::size_t taken = 2 * used - 2;
    for (unsigned list = maxLength; list-- > 0;) {
        const std::size_t leaves = static_cast<std::size_t>(std::count(
            isLeaf[list].begin(), isLeaf[list].begin() + static_cast<std::ptrdiff_t>(taken), true));
        for (std::size_t i = 0; i < leaves; ++i) {
            ++lengths[order[i]];
        }
        taken = 2 * (taken - leaves);
    }
}

}  // namespace

bool BuildCodeLengths(std::span<const std::uint32_t> frequencies, unsigned maxLength,
                      std::span<std::uint8_t> lengths) {
    std::fill(lengths.begin(), lengths.end(), std::uint8_t{0});
    SymbolList order{};
    const std::size_t used = OrderByFrequency(frequencies, order);
    PackageMerge(frequencies, order, used, maxLength, lengths);
    std::uint64_t kraft = 0;
    for (std::size_t i = 0; i < used; ++i) {
        const unsigned length = lengths[order[i]];
        if (length == 0 || length > maxLength) {
            return false;
        }
        kraft += std::uint64_t{1} << (maxLength - length);
    }
    return kraft == (std::uint64_t{1} << maxLength);
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

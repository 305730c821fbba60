#include "zip/deflate/symbol_buffer.h"

#include <algorithm>

namespace arkivo::deflate {

void SymbolFrequencies::Subtract(const SymbolFrequencies& other) {
    for (std::size_t i = 0; i < litLen.size(); ++i) {
        litLen[i] -= other.litLen[i];
    }
    for (std::size_t i = 0; i < distance.size(); ++i) {
        distance[i] -= other.distance[i];
    }
}

void SymbolBuffer::RemovePrefix(std::size_t count, std::size_t rawLength,
                                const SymbolFrequencies& prefixFrequencies) {
    const auto first = symbols_.begin() + static_cast<std::ptrdiff_t>(count);
    std::copy(first, symbols_.begin() + static_cast<std::ptrdiff_t>(count_), symbols_.begin());
    count_ -= count;
    rawLength_ -= rawLength;
    frequencies_.Subtract(prefixFrequencies);
}

void SymbolBuffer::Clear() {
    count_ = 0;
    rawLength_ = 0;
    frequencies_ = SymbolFrequencies{};
}

}  // namespace arkivo::deflate

#include "zip/deflate/huffman_decoder.h"

#include "zip/deflate/huffman_code.h"

namespace arkivo::deflate {

bool HuffmanDecoder::Build(std::span<const std::uint8_t> lengths) {
    lengthCount_.fill(0);
    for (const std::uint8_t length : lengths) {
        ++lengthCount_[length];
    }
    lengthCount_[0] = 0;
    std::int32_t left = 1;  // code space left at the current length, in codes of that length
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        left = 2 * left - lengthCount_[length];
        if (left < 0) {
            return false;
        }
    }
    const bool singleShortCode = lengthCount_[1] == 1 && left == (1 << (kMaxCodeLength - 1));
    const bool empty = left == (1 << kMaxCodeLength);
    if (left != 0 && !singleShortCode && !empty) {
        return false;
    }

    std::array<std::uint16_t, kMaxCodeLength + 2> offset{};
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        offset[length + 1] = static_cast<std::uint16_t>(offset[length] + lengthCount_[length]);
    }
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0) {
            sortedSymbols_[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
        }
    }

    table_.fill(0);
    std::uint32_t code = 0;
    std::size_t next = 0;
    for (unsigned length = 1; length <= kTableBits; ++length) {
        for (unsigned i = 0; i < lengthCount_[length]; ++i, ++code) {
            const std::uint16_t entry =
                static_cast<std::uint16_t>((sortedSymbols_[next++] << 4) | length);
            for (std::uint32_t index = ReverseBits(code, length); index < table_.size();
                 index += 1u << length) {
                table_[index] = entry;
            }
        }
        code <<= 1;
    }
    return true;
}

// Canonical decoding: the codes of one length are consecutive numbers, so after each bit the
// code read so far either falls among the codes of that length or moves on to the next.
unsigned HuffmanDecoder::DecodeLong(BitReader& reader) const {
    const std::uint32_t bits = reader.Peek(kMaxCodeLength);
    std::int32_t code = 0;
    std::int32_t first = 0;
    std::int32_t index = 0;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        code |= static_cast<std::int32_t>((bits >> (length - 1)) & 1);
        const std::int32_t count = lengthCount_[length];
        if (code - first < count) {
            reader.Consume(length);
            return sortedSymbols_[static_cast<std::size_t>(index + code - first)];
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return kInvalidSymbol;
}

}  // namespace arkivo::deflate

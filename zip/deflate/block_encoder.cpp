#include "zip/deflate/block_encoder.h"

#include <algorithm>

#include "zip/deflate/huffman_code.h"

namespace arkivo::deflate {
namespace {

constexpr unsigned kBlockHeaderBits = 3;
// Stored blocks hold at most 65535 bytes; each one after the first costs its own header.
constexpr std::uint64_t kStoredHeaderBytes = 5;
// Encoding checks for room once per group of symbols; a symbol takes at most 48 bits.
constexpr std::size_t kSymbolsPerReserve = 4096;
constexpr std::size_t kMaxBytesPerSymbol = 6;

std::uint64_t HuffmanDataBits(
    const std::array<std::uint32_t, kNumLitLenSymbols>& litLenFrequencies,
    const std::array<std::uint32_t, kNumDistanceSymbols>& distanceFrequencies,
    std::span<const std::uint8_t> litLenLengths, std::span<const std::uint8_t> distanceLengths) {
    std::uint64_t bits = 0;
    for (unsigned s = 0; s < kNumLitLenSymbols; ++s) {
        bits += static_cast<std::uint64_t>(litLenFrequencies[s]) * litLenLengths[s];
    }
    for (unsigned slot = 0; slot < kNumLengthSlots; ++slot) {
        bits += static_cast<std::uint64_t>(litLenFrequencies[kFirstLengthSymbol + slot]) *
                kLengthExtraBits[slot];
    }
    for (unsigned slot = 0; slot < kNumDistanceSymbols; ++slot) {
        bits += static_cast<std::uint64_t>(distanceFrequencies[slot]) *
                (distanceLengths[slot] + kDistanceExtraBits[slot]);
    }
    return bits;
}

std::uint64_t StoredBytes(std::size_t rawLength) {
    const std::uint64_t blocks =
        rawLength == 0 ? 1 : (rawLength + kMaxStoredLength - 1) / kMaxStoredLength;
    // The rule of the classic deflate: a stored block costs its length plus four bytes.
    return rawLength + 4 + kStoredHeaderBytes * (blocks - 1);
}

bool WriteStoredBlocks(BitWriter& writer, std::span<const std::uint8_t> raw, bool final) {
    do {
        const std::size_t n = std::min<std::size_t>(raw.size(), kMaxStoredLength);
        const bool last = n == raw.size();
        if (!writer.Reserve(16)) {
            return false;
        }
        writer.AddBits(final && last ? 1 : 0, 1);
        writer.AddBits(static_cast<unsigned>(BlockType::Stored), 2);
        writer.AlignToByte();
        writer.AddBits(n | ((~n & 0xFFFF) << 16), 32);
        writer.CommitBytes();
        if (!writer.WriteAlignedBytes(raw.first(n))) {
            return false;
        }
        raw = raw.subspan(n);
    } while (!raw.empty());
    return true;
}

}  // namespace

BlockEncoder::BlockEncoder() {
    for (unsigned s = 0; s < kNumFixedLitLenSymbols; ++s) {
        fixed_.litLenLengths[s] = static_cast<std::uint8_t>(FixedLitLenLength(s));
    }
    fixed_.distanceLengths.fill(kFixedDistanceLength);
    BuildCanonicalCodes(fixed_.litLenLengths, fixed_.litLenCodes);
    BuildCanonicalCodes(fixed_.distanceLengths, fixed_.distanceCodes);
}

DeflateError BlockEncoder::Encode(BitWriter& writer, std::span<const std::uint32_t> symbols,
                                  const SymbolFrequencies& frequencies,
                                  std::span<const std::uint8_t> raw, bool final) {
    std::array<std::uint32_t, kNumLitLenSymbols> litLenFrequencies = frequencies.litLen;
    litLenFrequencies[kEndOfBlock] = 1;
    const std::span<std::uint8_t> litLenLengths{dynamic_.litLenLengths.data(), kNumLitLenSymbols};
    const std::span<std::uint8_t> distanceLengths{dynamic_.distanceLengths.data(),
                                                  kNumDistanceSymbols};
    if (!BuildCodeLengths(litLenFrequencies, kMaxCodeLength, litLenLengths) ||
        !BuildCodeLengths(frequencies.distance, kMaxCodeLength, distanceLengths) ||
        !header_.Build(litLenLengths, distanceLengths)) {
        return DeflateError::IncompleteCode;
    }
    const std::uint64_t dynamicBits =
        kBlockHeaderBits + header_.bitCount() +
        HuffmanDataBits(litLenFrequencies, frequencies.distance, litLenLengths, distanceLengths);
    const std::uint64_t fixedBits =
        kBlockHeaderBits + HuffmanDataBits(litLenFrequencies, frequencies.distance,
                                           fixed_.litLenLengths, fixed_.distanceLengths);
    const std::uint64_t dynamicBytes = (dynamicBits + 7) / 8;
    const std::uint64_t fixedBytes = (fixedBits + 7) / 8;

    if (StoredBytes(raw.size()) <= std::min(dynamicBytes, fixedBytes)) {
        lastType_ = BlockType::Stored;
        return WriteStoredBlocks(writer, raw, final) ? DeflateError::None
                                                     : DeflateError::OutputFailed;
    }
    if (fixedBytes <= dynamicBytes) {
        return WriteHuffmanBlock(writer, symbols, fixed_, BlockType::Fixed, final, fixedBits);
    }
    BuildCanonicalCodes(litLenLengths, {dynamic_.litLenCodes.data(), kNumLitLenSymbols});
    BuildCanonicalCodes(distanceLengths, {dynamic_.distanceCodes.data(), kNumDistanceSymbols});
    return WriteHuffmanBlock(writer, symbols, dynamic_, BlockType::Dynamic, final, dynamicBits);
}

DeflateError BlockEncoder::WriteHuffmanBlock(BitWriter& writer,
                                             std::span<const std::uint32_t> symbols,
                                             const Code& code, BlockType type, bool final,
                                             std::uint64_t predictedBits) {
    lastType_ = type;
    if (!writer.Reserve(16)) {
        return DeflateError::OutputFailed;
    }
    const std::uint64_t start = writer.bitCount();
    writer.AddBits(final ? 1 : 0, 1);
    writer.AddBits(static_cast<unsigned>(type), 2);
    writer.CommitBytes();
    if ((type == BlockType::Dynamic && !header_.Write(writer)) ||
        !WriteSymbols(writer, symbols, code)) {
        return DeflateError::OutputFailed;
    }
    return writer.bitCount() - start == predictedBits ? DeflateError::None
                                                      : DeflateError::BadCompressedSize;
}

bool BlockEncoder::WriteSymbols(BitWriter& writer, std::span<const std::uint32_t> symbols,
                                const Code& code) {
    // A length's code and extra bits, joined once per block.
    std::array<std::uint32_t, kMaxMatch + 1> lengthBits{};
    std::array<std::uint8_t, kMaxMatch + 1> lengthBitCount{};
    for (unsigned length = kMinMatch; length <= kMaxMatch; ++length) {
        const unsigned slot = kLengthSlot[length];
        const unsigned symbol = kFirstLengthSymbol + slot;
        lengthBits[length] =
            code.litLenCodes[symbol] | ((length - kLengthBase[slot]) << code.litLenLengths[symbol]);
        lengthBitCount[length] =
            static_cast<std::uint8_t>(code.litLenLengths[symbol] + kLengthExtraBits[slot]);
    }
    while (!symbols.empty()) {
        const std::size_t n = std::min(symbols.size(), kSymbolsPerReserve);
        if (!writer.Reserve(n * kMaxBytesPerSymbol)) {
            return false;
        }
        for (const std::uint32_t symbol : symbols.first(n)) {
            if (IsLiteral(symbol)) {
                writer.AddBits(code.litLenCodes[symbol], code.litLenLengths[symbol]);
            } else {
                const unsigned length = MatchLength(symbol);
                const unsigned distance = MatchDistance(symbol);
                const unsigned slot = DistanceSlot(distance);
                writer.AddBits(lengthBits[length], lengthBitCount[length]);
                writer.AddBits(code.distanceCodes[slot] |
                                   ((distance - kDistanceBase[slot]) << code.distanceLengths[slot]),
                               code.distanceLengths[slot] + kDistanceExtraBits[slot]);
            }
            writer.CommitBytes();
        }
        symbols = symbols.subspan(n);
    }
    if (!writer.Reserve(8)) {
        return false;
    }
    writer.AddBits(code.litLenCodes[kEndOfBlock], code.litLenLengths[kEndOfBlock]);
    writer.CommitBytes();
    return true;
}

}  // namespace arkivo::deflate

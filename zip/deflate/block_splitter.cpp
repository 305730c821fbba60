#include "zip/deflate/block_splitter.h"

#include <algorithm>
#include <cmath>

namespace arkivo::deflate {
namespace {

// What ending a block costs: the new block's header, and the statistics of a short stretch of
// symbols looking more distinct than they are.
constexpr double kNewBlockBits = 500;

template <std::size_t N>
double ArrayEntropyBits(const std::array<std::uint32_t, N>& counts, std::uint32_t extra) {
    double total = extra;
    double sum = extra > 0 ? extra * std::log2(static_cast<double>(extra)) : 0.0;
    for (const std::uint32_t count : counts) {
        if (count > 0) {
            const double c = count;
            total += c;
            sum += c * std::log2(c);
        }
    }
    return total > 0 ? total * std::log2(total) - sum : 0.0;
}

}  // namespace

double EntropyBits(const SymbolFrequencies& frequencies) {
    // The end-of-block symbol occurs once in every block.
    return ArrayEntropyBits(frequencies.litLen, 1) + ArrayEntropyBits(frequencies.distance, 0);
}

BlockSplitter::BlockSplitter(std::size_t maxBlockSymbols, std::size_t checkInterval)
    : maxBlockSymbols_(maxBlockSymbols), checkInterval_(checkInterval) {
    nextCheckpoint_ = std::min(checkInterval_, maxBlockSymbols_);
}

void BlockSplitter::MoveCheckpoint(const SymbolBuffer& symbols, double bits) {
    prefix_.symbolCount = symbols.size();
    prefix_.rawLength = symbols.rawLength();
    prefix_.frequencies = symbols.frequencies();
    prefixBits_ = bits;
    nextCheckpoint_ = std::min(symbols.size() + checkInterval_, maxBlockSymbols_);
}

void BlockSplitter::StartBlock(const SymbolBuffer& symbols) {
    MoveCheckpoint(symbols, EntropyBits(symbols.frequencies()));
}

const BlockSplitter::Split& BlockSplitter::Evaluate(const SymbolBuffer& symbols) {
    split_.symbolCount = 0;
    const double joinedBits = EntropyBits(symbols.frequencies());
    if (prefix_.symbolCount > 0) {
        SymbolFrequencies segment = symbols.frequencies();
        segment.Subtract(prefix_.frequencies);
        const double apartBits = prefixBits_ + EntropyBits(segment) + kNewBlockBits;
        if (apartBits < joinedBits) {
            split_ = prefix_;
            return split_;
        }
    }
    if (symbols.size() >= maxBlockSymbols_) {
        split_.symbolCount = symbols.size();
        split_.rawLength = symbols.rawLength();
        split_.frequencies = symbols.frequencies();
        return split_;
    }
    MoveCheckpoint(symbols, joinedBits);
    return split_;
}

}  // namespace arkivo::deflate

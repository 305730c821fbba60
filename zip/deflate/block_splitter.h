// Decides where blocks end. A block has one pair of Huffman codes, so it should end where the
// statistics of the data change enough that codes of its own pay for a new block header.
//
// At every checkpoint the symbols gathered since the previous checkpoint are weighed against
// the block before them: the entropy of both coded together against the entropy of each coded
// apart plus the cost of a header. When apart wins, the block ends at the previous checkpoint
// and the new symbols begin the next block.
#pragma once

#include <cstddef>

#include "zip/deflate/symbol_buffer.h"

namespace arkivo::deflate {

class BlockSplitter {
  public:
    struct Split {
        std::size_t symbolCount = 0;  // 0: the block goes on
        std::size_t rawLength = 0;
        SymbolFrequencies frequencies;
    };

    BlockSplitter(std::size_t maxBlockSymbols, std::size_t checkInterval);

    // A new block begins with the symbols already in the buffer.
    void StartBlock(const SymbolBuffer& symbols);

    // The symbol count at which Evaluate wants to be asked next.
    std::size_t nextCheckpoint() const { return nextCheckpoint_; }

    // Whether the block should end now, and after which of its symbols.
    const Split& Evaluate(const SymbolBuffer& symbols);

  private:
    void MoveCheckpoint(const SymbolBuffer& symbols, double bits);

    std::size_t maxBlockSymbols_;
    std::size_t checkInterval_;
    std::size_t nextCheckpoint_ = 0;
    // The block up to the last checkpoint.
    Split prefix_;
    double prefixBits_ = 0;
    Split split_;
};

// The entropy of the symbols in bits, a close lower bound of their Huffman-coded size without
// extra bits.
double EntropyBits(const SymbolFrequencies& frequencies);

}  // namespace arkivo::deflate

// A streaming deflate compressor (RFC 1951) in the manner of the classic reference
// implementation at its level 8: hash chains with lazy matching, and each block stored, or
// coded with the fixed or with its own Huffman codes, whichever is smallest.
//
// Memory stays the same whatever the input length: a window buffer, the hash chains, one
// block of symbols and an output buffer.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "zip/deflate/bit_writer.h"
#include "zip/deflate/block_encoder.h"
#include "zip/deflate/block_splitter.h"
#include "zip/deflate/byte_sink.h"
#include "zip/deflate/deflate_error.h"
#include "zip/deflate/match_finder.h"
#include "zip/deflate/symbol_buffer.h"

namespace arkivo::deflate {

// The most bytes a stream of inputSize bytes can take. Every block is stored when nothing is
// smaller, and blocks end only every kCheckInterval symbols or more, so each costs at most its
// input plus 5 bytes per 65535 and 6 more.
constexpr std::uint64_t MaxDeflatedSize(std::uint64_t inputSize) {
    return inputSize + inputSize / 128 + 64;
}

// What FinishPiece adds at most: the header of the empty stored block, the padding to the
// byte boundary and its two lengths.
inline constexpr std::uint64_t kPieceEndBytes = 6;

class Deflater {
  public:
    explicit Deflater(ByteSink& sink);

    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Begins a new, independent stream.
    void Reset();

    // Right after Reset: the bytes that come before the input in a larger whole, which
    // matches may refer back to without their being part of this stream. Only the last
    // kWindowSize bytes count.
    void SetDictionary(std::span<const std::uint8_t> dictionary);

    // Compresses more input. False once the stream has failed; error() says why.
    bool Write(std::span<const std::uint8_t> input);

    // Ends the stream with a final block and hands every byte to the sink.
    bool Finish();

    // Ends the input with blocks that are not final and an empty stored block, so that the
    // bytes end on a byte boundary and the blocks of another stream can follow them to make
    // one stream (that stream having taken the end of this input as its dictionary).
    bool FinishPiece();

    DeflateError error() const { return error_; }
    std::uint64_t compressedBytes() const { return (writer_.bitCount() + 7) / 8; }

  private:
    void Parse(bool toTheEnd);
    bool WriteLastBlocks(bool final);
    void MakeRoom();
    void EmitLiteral(std::uint8_t byte);
    void EmitMatch(unsigned length, unsigned distance);
    void EndBlockIfDue();
    void WriteBlock(std::size_t symbolCount, std::size_t rawLength,
                    const SymbolFrequencies& frequencies, bool final);
    void InsertRange(std::int32_t begin, std::int32_t end);

    std::vector<std::uint8_t> window_;
    std::int32_t capacity_;
    std::int32_t pos_ = 0;         // the next position to look at
    std::int32_t end_ = 0;         // the end of the input in the window
    std::int32_t blockStart_ = 0;  // where the input of the gathered symbols begins
    bool slid_ = false;            // whether this stream has dropped input from the window

    // Lazy matching: the match found at pos_ - 1, which the search at pos_ may still beat.
    unsigned matchLength_ = kMinMatch - 1;
    unsigned matchDistance_ = 0;
    bool literalPending_ = false;

    MatchFinder finder_;
    SymbolBuffer symbols_;
    BlockSplitter splitter_;
    BlockEncoder encoder_;
    BitWriter writer_;
    DeflateError error_ = DeflateError::None;
};

}  // namespace arkivo::deflate

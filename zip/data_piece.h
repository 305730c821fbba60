// One piece of an entry's data on its way from the source to the archive: read by the thread
// that adds files, checked and compressed by a worker, written by the adding thread again.
//
// Files are cut into pieces at fixed offsets, whatever the number of workers, and each piece
// is compressed on its own; a deflated piece is primed with the bytes just before it and ends
// on a byte boundary, so the pieces of an entry join into one deflate stream that loses almost
// nothing to the cuts, and an archive comes out byte for byte the same on any number of cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "zip/deflate/deflater.h"

namespace arkivo::zip {

inline constexpr std::size_t kPieceSize = 1 << 19;
inline constexpr std::size_t kPieceDictionarySize = deflate::kWindowSize;

// The most bytes the data of an entry of `size` bytes can take in the archive.
constexpr std::uint64_t MaxEntryDataSize(bool deflated, std::uint64_t size) {
    if (!deflated) {
        return size;
    }
    const std::uint64_t cuts = size == 0 ? 0 : (size - 1) / kPieceSize;
    return deflate::MaxDeflatedSize(size) + cuts * (64 + deflate::kPieceEndBytes);
}

class DataPiece {
  public:
    DataPiece();

    DataPiece(const DataPiece&) = delete;
    DataPiece& operator=(const DataPiece&) = delete;

    // Starts a piece of a stored or a deflated entry; a deflated piece that follows another
    // takes the bytes before it as its dictionary.
    void Begin(bool deflated, std::span<const std::uint8_t> dictionary);
    // Where the piece's bytes are read to: kPieceSize bytes.
    std::span<std::uint8_t> Room() { return {input_.get() + dictionaryLength_, kPieceSize}; }
    // `last`: the entry's last piece, whose deflate stream ends with the final block.
    void SetLength(std::size_t length, bool last);

    std::size_t length() const { return length_; }
    std::span<const std::uint8_t> bytes() const {
        return {input_.get() + dictionaryLength_, length_};
    }
    // The dictionary followed by the piece's bytes: the end of it primes the next piece.
    std::span<const std::uint8_t> history() const {
        return {input_.get(), dictionaryLength_ + length_};
    }

    // Once a compressor has had the piece: the CRC-32 of its bytes, whether the compressor
    // passed its own checks, and what goes into the archive.
    std::uint32_t crc() const { return crc_; }
    bool compressed() const { return compressed_; }
    std::span<const std::uint8_t> data() const {
        return deflated_ ? std::span<const std::uint8_t>(output_.get(), outputLength_) : bytes();
    }

  private:
    friend class PieceCompressor;
    friend class CompressionPool;

    std::unique_ptr<std::uint8_t[]> input_;
    std::unique_ptr<std::uint8_t[]> output_;
    std::size_t dictionaryLength_ = 0;
    std::size_t length_ = 0;
    std::size_t outputLength_ = 0;
    std::uint32_t crc_ = 0;
    bool deflated_ = false;
    bool last_ = false;
    bool compressed_ = false;
    bool done_ = true;  // not with a worker; guarded by the pool's lock
};

// A worker's compressor, which makes one deflate stream of each piece it is given.
class PieceCompressor : private deflate::ByteSink {
  public:
    PieceCompressor() : deflater_(*this) {}

    void Compress(DataPiece& piece);

  private:
    bool Write(std::span<const std::uint8_t> bytes) override;

    deflate::Deflater deflater_;
    DataPiece* piece_ = nullptr;
};

}  // namespace arkivo::zip

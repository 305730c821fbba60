#include "zip/data_piece.h"

#include <algorithm>
#include <cstring>

#include "zip/crc32.h"

namespace arkivo::zip {
namespace {

constexpr std::size_t kOutputCapacity =
    static_cast<std::size_t>(deflate::MaxDeflatedSize(kPieceSize) + deflate::kPieceEndBytes);

}  // namespace

// The buffers are left uninitialised: a piece of a small file touches only the pages it uses.
DataPiece::DataPiece()
    : input_(new std::uint8_t[kPieceDictionarySize + kPieceSize]),
      output_(new std::uint8_t[kOutputCapacity]) {}

void DataPiece::Begin(bool deflated, std::span<const std::uint8_t> dictionary) {
    deflated_ = deflated;
    dictionaryLength_ = deflated ? std::min(dictionary.size(), kPieceDictionarySize) : 0;
    if (dictionaryLength_ > 0) {
        std::memcpy(input_.get(), dictionary.data() + dictionary.size() - dictionaryLength_,
                    dictionaryLength_);
    }
    length_ = 0;
    outputLength_ = 0;
    crc_ = 0;
    last_ = false;
    compressed_ = false;
}

void DataPiece::SetLength(std::size_t length, bool last) {
    length_ = length;
    last_ = last;
}

void PieceCompressor::Compress(DataPiece& piece) {
    piece.crc_ = ComputeCrc32(piece.bytes());
    if (!piece.deflated_) {
        piece.compressed_ = true;
        return;
    }
    piece_ = &piece;
    deflater_.Reset();
    if (piece.dictionaryLength_ > 0) {
        deflater_.SetDictionary({piece.input_.get(), piece.dictionaryLength_});
    }
    piece.compressed_ = deflater_.Write(piece.bytes()) &&
                        (piece.last_ ? deflater_.Finish() : deflater_.FinishPiece());
    piece_ = nullptr;
}

bool PieceCompressor::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kOutputCapacity - piece_->outputLength_) {
        return false;
    }
    std::memcpy(piece_->output_.get() + piece_->outputLength_, bytes.data(), bytes.size());
    piece_->outputLength_ += bytes.size();
    return true;
}

}  // namespace arkivo::zip

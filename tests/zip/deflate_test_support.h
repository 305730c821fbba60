// Runs our deflate compressor into memory.
#pragma once

#include <cstddef>
#include <limits>
#include <span>

#include "tests/zip/test_data.h"
#include "zip/deflate/deflater.h"

namespace arkivo::test {

class VectorSink : public deflate::ByteSink {
  public:
    bool Write(std::span<const std::uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return true;
    }
    Bytes& bytes() { return bytes_; }

  private:
    Bytes bytes_;
};

class FailingSink : public deflate::ByteSink {
  public:
    bool Write(std::span<const std::uint8_t>) override { return false; }
};

// Compresses input, handing it over in pieces of at most `piece` bytes.
inline Bytes Deflate(std::span<const std::uint8_t> input,
                     std::size_t piece = std::numeric_limits<std::size_t>::max()) {
    VectorSink sink;
    deflate::Deflater deflater(sink);
    for (std::size_t offset = 0; offset < input.size(); offset += piece) {
        deflater.Write(input.subspan(offset, std::min(piece, input.size() - offset)));
    }
    deflater.Finish();
    return sink.bytes();
}

}  // namespace arkivo::test

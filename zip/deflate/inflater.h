// A deflate decompressor (RFC 1951) for checking archives: it decodes one raw stream and hands
// the output to a sink in pieces, keeping only the 32 KiB window that matches may copy from.
#pragma once

#include <cstdint>
#include <vector>

#include "zip/deflate/byte_sink.h"
#include "zip/deflate/byte_source.h"
#include "zip/deflate/huffman_decoder.h"

namespace arkivo::deflate {

enum class InflateResult {
    Ok,
    Truncated,     // the input ended before the final block did
    BadData,       // not a valid deflate stream
    ReadFailed,    // the source failed
    OutputFailed,  // the sink refused the output
    TooLong,       // the output passed the limit it was given
};

class Inflater {
  public:
    Inflater();

    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    static constexpr std::uint64_t kNoLimit = UINT64_MAX;

    // Decodes one whole stream from source into sink. Decoding stops with TooLong once the
    // output has passed outputLimit bytes, a match or a stored piece of at most 32 KiB later:
    // a stream can say in a few bytes to repeat a byte billions of times.
    InflateResult Inflate(ByteSource& source, ByteSink& sink, std::uint64_t outputLimit = kNoLimit);

    // The bytes of input up to the end of the final block, after Inflate.
    std::uint64_t consumedBytes() const { return consumedBytes_; }
    std::uint64_t producedBytes() const { return producedBytes_; }

  private:
    class Output;

    InflateResult DecodeStored(BitReader& reader, Output& output);
    InflateResult ReadDynamicCodes(BitReader& reader);
    InflateResult DecodeHuffman(BitReader& reader, Output& output, const HuffmanDecoder& litLen,
                                const HuffmanDecoder& distance);

    HuffmanDecoder fixedLitLen_;
    HuffmanDecoder fixedDistance_;
    HuffmanDecoder dynamicLitLen_;
    HuffmanDecoder dynamicDistance_;
    std::vector<std::uint8_t> window_;
    std::uint64_t consumedBytes_ = 0;
    std::uint64_t producedBytes_ = 0;
};

}  // namespace arkivo::deflate

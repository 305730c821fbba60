// Our inflater against streams from zlib and from our compressor, and against broken streams.
#include "zip/deflate/inflater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/span_source.h"
#include "tests/zip/deflate_test_support.h"
#include "tests/zip/zlib_codec.h"

namespace arkivo::test {
namespace {

using deflate::InflateResult;

struct Inflated {
    InflateResult result;
    Bytes bytes;
    std::uint64_t consumed;
};

Inflated Inflate(deflate::ByteSource& source) {
    VectorSink sink;
    deflate::Inflater inflater;
    const InflateResult result = inflater.Inflate(source, sink);
    if (result == InflateResult::Ok) {
        EXPECT_EQ(inflater.producedBytes(), sink.bytes().size());
    }
    return {result, sink.bytes(), inflater.consumedBytes()};
}

Inflated Inflate(std::span<const std::uint8_t> compressed) {
    SpanSource source(compressed);
    return Inflate(source);
}

// The stream, followed by bytes that are not part of it and handed over in pieces of at most
// `piece` bytes, inflates to the original and is read up to the end of its final block.
void ExpectInflatesTo(Bytes compressed, const Bytes& original, const std::string& label,
                      std::size_t piece = 1 << 16) {
    SCOPED_TRACE(label);
    const std::size_t streamSize = compressed.size();
    compressed.insert(compressed.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    SpanSource source(compressed, piece);
    const Inflated inflated = Inflate(source);
    ASSERT_EQ(inflated.result, InflateResult::Ok);
    EXPECT_TRUE(inflated.bytes == original);
    EXPECT_EQ(inflated.consumed, streamSize);
}

TEST(Inflater, DecodesZlibStreamsOfEveryBlockKind) {
    const struct {
        const char* label;
        Bytes input;
    } inputs[] = {{"empty", {}},
                  {"one byte", {'z'}},
                  {"text", TextLike(200000, 1)},
                  {"binary", BinaryLike(200000, 2)},
                  {"random", RandomBytes(100000, 3)},
                  {"runs", Runs(150000, 4)},
                  {"mixed", MixedShapes(700000, 5)}};
    const struct {
        const char* label;
        int level;
        int strategy;
        int windowBits;
    } settings[] = {
        {"stored", 0, Z_DEFAULT_STRATEGY, 15},   {"level 1", 1, Z_DEFAULT_STRATEGY, 15},
        {"level 6", 6, Z_DEFAULT_STRATEGY, 15},  {"level 9", 9, Z_DEFAULT_STRATEGY, 15},
        {"huffman only", 6, Z_HUFFMAN_ONLY, 15}, {"rle", 6, Z_RLE, 15},
        {"fixed codes", 6, Z_FIXED, 15},         {"small window", 9, Z_DEFAULT_STRATEGY, 9}};
    for (const auto& input : inputs) {
        for (const auto& setting : settings) {
            ExpectInflatesTo(
                ZlibDeflateRaw(input.input, setting.level, setting.strategy, setting.windowBits),
                input.input, std::string(input.label) + ", " + setting.label);
        }
    }
}

// Every fourth stream arrives a byte at a time.
TEST(Inflater, DecodesOurOwnStreams) {
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        const Bytes input = MixedShapes((seed * 104729) % 400000, seed);
        ExpectInflatesTo(Deflate(input), input, "seed " + std::to_string(seed),
                         seed % 4 == 1 ? 1 : 1 << 16);
    }
}

TEST(Inflater, ReportsACutStreamAsTruncated) {
    const Bytes input = MixedShapes(120000, 8);
    for (const Bytes& compressed : {ZlibDeflateRaw(input, 9), ZlibDeflateRaw(input, 0)}) {
        for (const std::size_t keep :
             {std::size_t{0}, std::size_t{1}, std::size_t{2}, compressed.size() / 3,
              compressed.size() / 2, compressed.size() - 1}) {
            const Inflated inflated = Inflate(std::span(compressed).first(keep));
            EXPECT_EQ(inflated.result, InflateResult::Truncated) << "first " << keep << " bytes";
        }
    }
}

TEST(Inflater, RejectsMalformedStreams) {
    // Hand-assembled from RFC 1951, bits from the least significant end of each byte.
    const struct {
        const char* label;
        Bytes stream;
    } cases[] = {
        // BFINAL 1, BTYPE 11: a block type that does not exist.
        {"reserved block type", {0x07, 0x00}},
        // A stored block of length 5 whose one's complement field says 0.
        {"stored length check", {0x01, 0x05, 0x00, 0x00, 0x00}},
        // A fixed block whose first symbol is a match (length code 257, distance code 0),
        // copying from before the start of the stream.
        {"match before the start", {0x03, 0x02, 0x00}},
        // A dynamic block announcing 288 literal/length codes; at most 286 exist.
        {"too many length codes", {0xFD, 0x00, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Inflate(c.stream).result, InflateResult::BadData) << c.label;
    }
}

TEST(Inflater, ReportsASourceThatFails) {
    const Bytes input = RandomBytes(300000, 9);
    const Bytes compressed = ZlibDeflateRaw(input, 6);
    SpanSource source(compressed, 1 << 16, 1 << 16);
    EXPECT_EQ(Inflate(source).result, InflateResult::ReadFailed);
}

}  // namespace
}  // namespace arkivo::test

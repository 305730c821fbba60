// Our compressor's streams, judged by zlib's inflater.
#include <gtest/gtest.h>

#include <string>

#include "tests/zip/deflate_test_support.h"
#include "tests/zip/zlib_codec.h"

namespace arkivo::test {
namespace {

using deflate::DeflateError;
using deflate::Deflater;

void ExpectRoundTrip(const Bytes& input, const std::string& label) {
    SCOPED_TRACE(label + ", " + std::to_string(input.size()) + " bytes");
    const Bytes compressed = Deflate(input);
    const auto inflated = ZlibInflateRaw(compressed);
    ASSERT_TRUE(inflated.has_value()) << "zlib rejects the stream";
    EXPECT_TRUE(inflated->bytes == input) << "zlib inflates other bytes";
    EXPECT_EQ(inflated->consumed, compressed.size()) << "bytes after the final block";
}

// The shapes at their usual sizes are the seeded inputs' part.
TEST(DeflateRoundTrip, ShortAndStructuredInputs) {
    // BFINAL 1, BTYPE 01 and the 7-bit end-of-block code 0000000, least significant bit first.
    EXPECT_EQ(Deflate({}), (Bytes{0x03, 0x00}));
    ExpectRoundTrip({}, "empty");
    ExpectRoundTrip({'a'}, "one byte");
    ExpectRoundTrip({'a', 'b'}, "two bytes");
    ExpectRoundTrip({'a', 'a', 'a'}, "three equal bytes");
    ExpectRoundTrip({'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c', 'a'}, "short repeat");
    ExpectRoundTrip(Bytes(1 << 20, 'x'), "long run");
    ExpectRoundTrip(Bytes(100000, 0), "zeros");
}

TEST(DeflateRoundTrip, SizesAroundWindowBufferAndStoredBlockLimits) {
    // The window is 32 KiB, the input buffer 1 MiB, a stored block 65535 bytes and a block
    // at most 65536 symbols.
    const std::size_t sizes[] = {32767, 32768,  32769,   33030,   65535,   65536,
                                 65537, 131072, 1048575, 1048576, 1048577, 2621447};
    for (const std::size_t size : sizes) {
        ExpectRoundTrip(MixedShapes(size, static_cast<std::uint32_t>(size)), "mixed");
        ExpectRoundTrip(RandomBytes(size, static_cast<std::uint32_t>(size)), "random");
    }
}

TEST(DeflateRoundTrip, SeededInputsOfMixedShapes) {
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        // Mostly small inputs, like most files, and every eleventh one larger: every shape
        // comes large in turn.
        const std::size_t size = seed % 11 == 0 ? 200000 + seed * 1000 : (seed * 7919) % 60000;
        // Every seventh input mixes the shapes; the others take one each in turn.
        const Bytes input = seed % 7 == 6 ? MixedShapes(size, seed) : OfShape(seed, size, seed);
        ExpectRoundTrip(input, "seed " + std::to_string(seed));
    }
}

TEST(DeflateStreaming, OutputDoesNotDependOnHowTheInputIsCut) {
    const Bytes input = MixedShapes(2500000, 77);
    const Bytes whole = Deflate(input);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{13}, std::size_t{4096},
                                    std::size_t{65543}, std::size_t{1048576}}) {
        EXPECT_TRUE(Deflate(input, piece) == whole) << "pieces of " << piece;
    }
}

TEST(DeflateStreaming, ResetStartsAStreamThatKnowsNothingOfTheLastOne) {
    // The second stream repeats the first, so any position left over from the first would
    // offer tempting matches that reach outside the second stream.
    for (const std::size_t firstSize : {std::size_t{3000}, std::size_t{2000000}}) {
        const Bytes first = TextLike(firstSize, 9);
        const Bytes second(first.begin(), first.begin() + 2500);
        VectorSink sink;
        Deflater deflater(sink);
        deflater.Write(first);
        deflater.Finish();
        sink.bytes().clear();
        deflater.Reset();
        deflater.Write(second);
        deflater.Finish();
        EXPECT_TRUE(sink.bytes() == Deflate(second)) << "after a stream of " << firstSize;
    }
}

TEST(DeflateQuality, StaysWithinOnePercentOfZlibLevel8) {
    const struct {
        const char* label;
        Bytes input;
    } cases[] = {{"text", TextLike(1 << 20, 11)},
                 {"binary", BinaryLike(1 << 20, 12)},
                 {"repetitive", Repetitive(1 << 20, 13)},
                 {"mixed", MixedShapes(1 << 21, 14)}};
    for (const auto& c : cases) {
        const double ours = static_cast<double>(Deflate(c.input).size());
        const double zlib = static_cast<double>(ZlibDeflateRaw(c.input, 8).size());
        EXPECT_LE(ours, zlib * 1.01) << c.label;
    }
}

TEST(DeflateQuality, IncompressibleInputIsStoredWithLittleOverhead) {
    // Huffman codes cannot beat 8 bits a byte on random data, and would add their headers;
    // stored blocks add 5 bytes per 65535.
    const Bytes input = RandomBytes(1 << 20, 21);
    const std::size_t size = Deflate(input).size();
    EXPECT_LE(size, input.size() + input.size() / 4096);
    EXPECT_LE(size, deflate::MaxDeflatedSize(input.size()));
}

TEST(DeflateFailure, ASinkThatRefusesBytesFailsTheStream) {
    FailingSink sink;
    Deflater deflater(sink);
    const Bytes input = RandomBytes(3 << 20, 31);
    const bool written = deflater.Write(input);
    const bool finished = deflater.Finish();
    EXPECT_FALSE(written && finished);
    EXPECT_EQ(deflater.error(), DeflateError::OutputFailed);
}

}  // namespace
}  // namespace arkivo::test

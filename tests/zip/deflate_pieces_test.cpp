// A long input compressed as pieces, each by a compressor of its own primed with the bytes
// before it, joins into one stream that zlib reads as the whole input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/zip/deflate_test_support.h"
#include "tests/zip/zlib_codec.h"
#include "zip/deflate/deflate_format.h"

namespace arkivo::test {
namespace {

using deflate::Deflater;

struct PieceOptions {
    std::size_t pieceSize;
    bool primed = true;  // each piece after the first gets the bytes before it as dictionary
};

// The pieces' streams one after the other, each made by a compressor that saw only its piece
// and its dictionary, and the largest one measured against the bound for its input.
Bytes DeflateInPieces(std::span<const std::uint8_t> input, PieceOptions options) {
    Bytes joined;
    VectorSink sink;
    Deflater deflater(sink);
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(options.pieceSize, input.size() - offset);
        const bool last = offset + length == input.size();
        sink.bytes().clear();
        deflater.Reset();
        if (options.primed) {
            const std::size_t reach = std::min<std::size_t>(offset, deflate::kWindowSize);
            deflater.SetDictionary(input.subspan(offset - reach, reach));
        }
        deflater.Write(input.subspan(offset, length));
        EXPECT_TRUE(last ? deflater.Finish() : deflater.FinishPiece());
        EXPECT_LE(sink.bytes().size(),
                  deflate::MaxDeflatedSize(length) + (last ? 0 : deflate::kPieceEndBytes));
        joined.insert(joined.end(), sink.bytes().begin(), sink.bytes().end());
        offset += length;
    } while (offset < input.size());
    return joined;
}

void ExpectOneStream(const Bytes& input, const Bytes& joined, const std::string& label) {
    SCOPED_TRACE(label);
    const auto inflated = ZlibInflateRaw(joined);
    ASSERT_TRUE(inflated.has_value()) << "zlib rejects the joined stream";
    EXPECT_TRUE(inflated->bytes == input) << "zlib inflates other bytes";
    EXPECT_EQ(inflated->consumed, joined.size()) << "bytes after the final block";
}

TEST(DeflatePieces, JoinIntoOneStreamWhateverTheShapeAndPieceSize) {
    const Bytes mixed = MixedShapes(3 << 20, 41);
    const Bytes random = RandomBytes((1 << 20) + 777, 42);
    for (const std::size_t pieceSize : {std::size_t{1000}, std::size_t{65536},
                                        std::size_t{(1 << 20) - 1}, std::size_t{1} << 20}) {
        const std::string size = std::to_string(pieceSize);
        ExpectOneStream(mixed, DeflateInPieces(mixed, {pieceSize}), "mixed in pieces of " + size);
        ExpectOneStream(random, DeflateInPieces(random, {pieceSize}),
                        "random in pieces of " + size);
    }
    const Bytes exact = TextLike(3 << 16, 43);
    ExpectOneStream(exact, DeflateInPieces(exact, {exact.size() / 3}), "an input of whole pieces");
}

TEST(DeflatePieces, TheDictionaryKeepsTheRatioOfOneStream) {
    const Bytes text = Repetitive(4 << 20, 44);
    const std::size_t whole = Deflate(text).size();
    const Bytes primed = DeflateInPieces(text, {1 << 18});
    const Bytes unprimed = DeflateInPieces(text, {1 << 18, false});
    ExpectOneStream(text, primed, "primed");
    ExpectOneStream(text, unprimed, "unprimed");
    EXPECT_LT(primed.size(), unprimed.size());
    EXPECT_LE(primed.size(), whole + whole / 200) << "more than half a percent lost to pieces";
}

}  // namespace
}  // namespace arkivo::test

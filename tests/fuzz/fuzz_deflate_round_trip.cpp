// Our compressor on any bytes, handed over in pieces whose size the first byte sets: our
// inflater and zlib both give the input back, and the stream stays within its size bound.
// One compressor serves every input, Reset between them as a ZIP job's worker does, so what a
// stream leaves behind in it (the match finder's tables, a half-full block) is fuzzed too; one
// inflater decodes them all, as `arkivo verify` decodes every entry of an archive with one.
#include "tests/fuzz/fuzz_files.h"
#include "tests/support/span_source.h"
#include "tests/zip/deflate_test_support.h"
#include "tests/zip/zlib_codec.h"
#include "zip/deflate/inflater.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace arkivo;
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    const std::size_t piece = data[0] < 128 ? std::size_t{data[0]} + 1 : std::size_t{data[0]} * 509;
    static test::VectorSink deflated;
    static deflate::Deflater deflater(deflated);
    deflated.bytes().clear();
    deflater.Reset();
    for (std::size_t offset = 0; offset < input.size(); offset += piece) {
        deflater.Write(input.subspan(offset, std::min(piece, input.size() - offset)));
    }
    fuzz::Require(deflater.Finish(), "our compressor fails");
    const test::Bytes& compressed = deflated.bytes();
    fuzz::Require(compressed.size() <= deflate::MaxDeflatedSize(input.size()),
                  "the stream is larger than its bound");

    test::SpanSource source(compressed, compressed.size());
    test::VectorSink sink;
    static deflate::Inflater inflater;
    fuzz::Require(inflater.Inflate(source, sink) == deflate::InflateResult::Ok,
                  "our inflater refuses our stream");
    fuzz::Require(std::equal(input.begin(), input.end(), sink.bytes().begin(), sink.bytes().end()),
                  "our inflater gives other bytes");
    fuzz::Require(inflater.consumedBytes() == compressed.size(), "the stream has trailing bytes");

    const auto judged = test::ZlibInflateRaw(compressed);
    fuzz::Require(judged.has_value(), "zlib refuses our stream");
    fuzz::Require(
        std::equal(input.begin(), input.end(), judged->bytes.begin(), judged->bytes.end()),
        "zlib gives other bytes");
    return 0;
}

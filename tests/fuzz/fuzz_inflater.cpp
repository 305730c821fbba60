// Our inflater against zlib on any bytes: the first byte sets how many bytes each read hands
// over, the rest is a raw deflate stream. Where zlib decodes a stream we must give the same
// bytes and stop at the same place; where zlib refuses one we must refuse it too.
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
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    constexpr std::uint64_t kLimit = 8u << 20;
    test::SpanSource source(stream, std::size_t{data[0]} * 97 + 1);
    test::VectorSink sink;
    deflate::Inflater inflater;
    const deflate::InflateResult result = inflater.Inflate(source, sink, kLimit);
    if (result == deflate::InflateResult::TooLong) {
        return 0;
    }
    const auto judged = test::ZlibInflateRaw(stream);
    if (!judged) {
        fuzz::Require(result != deflate::InflateResult::Ok, "decoded a stream zlib refuses");
        return 0;
    }
    fuzz::Require(result == deflate::InflateResult::Ok, "refused a stream zlib decodes");
    fuzz::Require(sink.bytes() == judged->bytes, "decoded to other bytes than zlib");
    fuzz::Require(inflater.producedBytes() == sink.bytes().size(), "miscounted the output");
    fuzz::Require(inflater.consumedBytes() == judged->consumed, "stopped elsewhere than zlib");
    return 0;
}

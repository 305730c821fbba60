#include "tests/zip/zlib_codec.h"

namespace arkivo::test {

std::optional<ZlibInflated> ZlibInflateRaw(std::span<const std::uint8_t> compressed) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return std::nullopt;
    }
    ZlibInflated result;
    Bytes piece(1 << 16);
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = piece.data();
        stream.avail_out = static_cast<uInt>(piece.size());
        status = inflate(&stream, Z_NO_FLUSH);
        result.bytes.insert(
            result.bytes.end(), piece.begin(),
            piece.begin() + static_cast<std::ptrdiff_t>(piece.size() - stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_out != 0) {
            break;  // the input ended early
        }
        if (status == Z_BUF_ERROR) {
            status = Z_OK;
        }
    }
    result.consumed = compressed.size() - stream.avail_in;
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    return result;
}

Bytes ZlibDeflateRaw(std::span<const std::uint8_t> input, int level, int strategy, int windowBits,
                     int memLevel) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, -windowBits, memLevel, strategy);
    Bytes out(deflateBound(&stream, static_cast<uLong>(input.size())) + 64);
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace arkivo::test

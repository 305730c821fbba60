// zlib as the independent judge of our deflate streams.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "tests/zip/test_data.h"

namespace arkivo::test {

struct ZlibInflated {
    Bytes bytes;
    std::size_t consumed = 0;  // compressed bytes up to the end of the final block
};

// Decodes one raw deflate stream; nullopt when zlib finds it invalid or unfinished.
std::optional<ZlibInflated> ZlibInflateRaw(std::span<const std::uint8_t> compressed);

// A raw deflate stream as zlib makes it.
Bytes ZlibDeflateRaw(std::span<const std::uint8_t> input, int level,
                     int strategy = Z_DEFAULT_STRATEGY, int windowBits = 15, int memLevel = 8);

}  // namespace arkivo::test

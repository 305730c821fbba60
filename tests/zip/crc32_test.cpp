#include "zip/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string_view>

#include "tests/zip/test_data.h"

namespace arkivo::test {
namespace {

TEST(Crc32, AgreesWithZlibAtAnyLengthAndAlignment) {
    const Bytes data = RandomBytes((1 << 20) + 64, 1);
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t length = 0; length < 300; ++length) {
            const auto piece = std::span(data).subspan(offset, length);
            const auto expected =
                static_cast<std::uint32_t>(crc32(0, piece.data(), static_cast<uInt>(piece.size())));
            ASSERT_EQ(zip::ComputeCrc32(piece), expected) << offset << "+" << length;
        }
    }
    const auto expected =
        static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    EXPECT_EQ(zip::ComputeCrc32(data), expected);
}

TEST(Crc32, PiecewiseUpdatesEqualOneUpdate) {
    const Bytes data = TextLike(100000, 2);
    zip::Crc32 crc;
    for (std::size_t offset = 0; offset < data.size(); offset += 777) {
        crc.Update(
            std::span(data).subspan(offset, std::min<std::size_t>(777, data.size() - offset)));
    }
    EXPECT_EQ(crc.value(), zip::ComputeCrc32(data));
}

}  // namespace
}  // namespace arkivo::test

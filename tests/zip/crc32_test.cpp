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

std::uint32_t ZlibCrc(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

TEST(Crc32, CombinedCrcsOfTwoPiecesEqualTheCrcOfTheWhole) {
    const Bytes data = MixedShapes(3 << 20, 3);
    const std::uint32_t whole = ZlibCrc(data);
    for (const std::size_t split :
         {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{65536}, std::size_t{1} << 20,
          data.size() - 1, data.size()}) {
        const auto first = std::span(data).first(split);
        const auto second = std::span(data).subspan(split);
        EXPECT_EQ(zip::CombineCrc32(ZlibCrc(first), ZlibCrc(second), second.size()), whole)
            << split;
    }
    // Lengths no test buffer holds, against zlib's own combination.
    for (const std::uint64_t length :
         {std::uint64_t{1} << 32, (std::uint64_t{5} << 30) + 3, std::uint64_t{0xFFFFFFFFFF}}) {
        const auto expected = static_cast<std::uint32_t>(
            crc32_combine64(0x12345678, 0x9ABCDEF0, static_cast<z_off64_t>(length)));
        EXPECT_EQ(zip::CombineCrc32(0x12345678, 0x9ABCDEF0, length), expected) << length;
    }
}

}  // namespace
}  // namespace arkivo::test

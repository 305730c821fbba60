#include "zip/deflate/bit_writer.h"

#include <gtest/gtest.h>

#include "tests/zip/deflate_test_support.h"

namespace arkivo::test {
namespace {

using deflate::BitWriter;

TEST(BitWriter, PacksBitsFromTheLeastSignificantEnd) {
    VectorSink sink;
    BitWriter writer(sink);
    ASSERT_TRUE(writer.Reserve(16));
    writer.AddBits(0b1, 1);
    writer.AddBits(0b10, 2);
    writer.AddBits(0b11111, 5);
    writer.CommitBytes();
    writer.AddBits(0xABC, 12);
    writer.CommitBytes();
    EXPECT_EQ(writer.bitCount(), 20u);
    writer.AlignToByte();
    ASSERT_TRUE(writer.Drain());
    // 1, then 0 1, then 1 1 1 1 1 make 0xFD; 0xABC follows low byte first, padded with zeros.
    EXPECT_EQ(sink.bytes(), (Bytes{0xFD, 0xBC, 0x0A}));
}

TEST(BitWriter, AlignsBeforeRawBytes) {
    VectorSink sink;
    BitWriter writer(sink);
    ASSERT_TRUE(writer.Reserve(16));
    writer.AddBits(0b101, 3);
    writer.AlignToByte();
    ASSERT_TRUE(writer.WriteAlignedBytes(Bytes{1, 2, 3}));
    EXPECT_EQ(writer.bitCount(), 32u);
    ASSERT_TRUE(writer.Drain());
    EXPECT_EQ(sink.bytes(), (Bytes{0x05, 1, 2, 3}));
}

TEST(BitWriter, HandsBytesToTheSinkInOrderWhenItsBufferIsSmall) {
    VectorSink sink;
    BitWriter writer(sink, 16);
    Bytes expected;
    for (unsigned i = 0; i < 1000; ++i) {
        ASSERT_TRUE(writer.Reserve(2));
        writer.AddBits(i & 0xFF, 8);
        writer.CommitBytes();
        expected.push_back(static_cast<std::uint8_t>(i));
    }
    const Bytes raw = RandomBytes(100, 1);
    ASSERT_TRUE(writer.WriteAlignedBytes(raw));
    expected.insert(expected.end(), raw.begin(), raw.end());
    ASSERT_TRUE(writer.Drain());
    EXPECT_EQ(sink.bytes(), expected);
}

class FailingSink : public deflate::ByteSink {
  public:
    bool Write(std::span<const std::uint8_t>) override { return false; }
};

TEST(BitWriter, StaysFailedOnceTheSinkFails) {
    FailingSink sink;
    BitWriter writer(sink, 16);
    ASSERT_TRUE(writer.Reserve(1));
    writer.AddBits(0xFF, 8);
    writer.CommitBytes();
    EXPECT_FALSE(writer.Drain());
    EXPECT_TRUE(writer.failed());
    EXPECT_FALSE(writer.Reserve(1));
}

}  // namespace
}  // namespace arkivo::test

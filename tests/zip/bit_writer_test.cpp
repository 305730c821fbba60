#include "zip/deflate/bit_writer.h"

#include <gtest/gtest.h>

#include "tests/zip/deflate_test_support.h"

namespace arkivo::test {
namespace {

using deflate::BitWriter;

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

// Seeded inputs of the shapes a backup meets: random bytes, prose, source-like repetition,
// binary tables, runs, and mixtures of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace arkivo::test {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t size, std::uint32_t seed);
// Words of a small vocabulary with spaces, punctuation and line breaks.
Bytes TextLike(std::size_t size, std::uint32_t seed);
// Short random phrases repeated with small changes, at distances near and far.
Bytes Repetitive(std::size_t size, std::uint32_t seed);
// Records of little-endian numbers, zero padding and pointer-like values.
Bytes BinaryLike(std::size_t size, std::uint32_t seed);
// Runs of one byte value of random lengths.
Bytes Runs(std::size_t size, std::uint32_t seed);
// One of the five shapes above, by its place in that list.
constexpr unsigned kShapes = 5;
Bytes OfShape(unsigned shape, std::size_t size, std::uint32_t seed);
// Pieces of all the shapes above, one after another.
Bytes MixedShapes(std::size_t size, std::uint32_t seed);

}  // namespace arkivo::test

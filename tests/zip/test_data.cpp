#include "tests/zip/test_data.h"

#include <algorithm>
#include <array>
#include <random>
#include <string_view>

namespace arkivo::test {
namespace {

using Engine = std::mt19937;

std::size_t Uniform(Engine& engine, std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(engine);
}

}  // namespace

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    Engine engine(seed);
    Bytes bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(engine());
    }
    return bytes;
}

Bytes TextLike(std::size_t size, std::uint32_t seed) {
    static constexpr std::array<std::string_view, 24> kWords = {
        "the",  "backup", "of",      "a",    "folder", "is",     "written", "into",
        "one",  "zip",    "archive", "and",  "every",  "file",   "keeps",   "its",
        "name", "time",   "with",    "data", "copied", "target", "source",  "job"};
    static constexpr std::string_view kPunctuation = ",.;:!?";
    Engine engine(seed);
    Bytes bytes;
    bytes.reserve(size + 16);
    while (bytes.size() < size) {
        const auto word = kWords[Uniform(engine, 0, kWords.size() - 1)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        const std::size_t roll = Uniform(engine, 0, 99);
        if (roll < 8) {
            bytes.push_back(static_cast<std::uint8_t>(kPunctuation[roll % kPunctuation.size()]));
        }
        bytes.push_back(roll < 4 ? '\n' : ' ');
    }
    bytes.resize(size);
    return bytes;
}

Bytes Repetitive(std::size_t size, std::uint32_t seed) {
    Engine engine(seed);
    std::vector<Bytes> phrases(16);
    for (auto& phrase : phrases) {
        phrase = RandomBytes(Uniform(engine, 3, 40), static_cast<std::uint32_t>(engine()));
    }
    Bytes bytes;
    bytes.reserve(size + 64);
    while (bytes.size() < size) {
        Bytes phrase = phrases[Uniform(engine, 0, phrases.size() - 1)];
        if (Uniform(engine, 0, 3) == 0) {
            phrase[Uniform(engine, 0, phrase.size() - 1)] = static_cast<std::uint8_t>(engine());
        }
        bytes.insert(bytes.end(), phrase.begin(), phrase.end());
    }
    bytes.resize(size);
    return bytes;
}

Bytes BinaryLike(std::size_t size, std::uint32_t seed) {
    Engine engine(seed);
    Bytes bytes;
    bytes.reserve(size + 32);
    std::uint64_t address = 0x400000 + (engine() & 0xFFF0);
    while (bytes.size() < size) {
        // One record: an address that grows, a small tag, a count and zero padding.
        address += 8 * Uniform(engine, 1, 6);
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
        }
        bytes.push_back(static_cast<std::uint8_t>(Uniform(engine, 0, 7)));
        const std::uint32_t count = static_cast<std::uint32_t>(Uniform(engine, 0, 300));
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
        }
        bytes.insert(bytes.end(), Uniform(engine, 0, 11), 0);
    }
    bytes.resize(size);
    return bytes;
}

Bytes Runs(std::size_t size, std::uint32_t seed) {
    Engine engine(seed);
    Bytes bytes;
    bytes.reserve(size + 1000);
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), Uniform(engine, 1, 1000), static_cast<std::uint8_t>(engine()));
    }
    bytes.resize(size);
    return bytes;
}

Bytes OfShape(unsigned shape, std::size_t size, std::uint32_t seed) {
    switch (shape % kShapes) {
        case 0:
            return RandomBytes(size, seed);
        case 1:
            return TextLike(size, seed);
        case 2:
            return Repetitive(size, seed);
        case 3:
            return BinaryLike(size, seed);
        default:
            return Runs(size, seed);
    }
}

Bytes MixedShapes(std::size_t size, std::uint32_t seed) {
    Engine engine(seed);
    Bytes bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const std::size_t piece = std::min(size - bytes.size(), Uniform(engine, 1, 70000));
        const auto pieceSeed = static_cast<std::uint32_t>(engine());
        const Bytes part =
            OfShape(static_cast<unsigned>(Uniform(engine, 0, kShapes - 1)), piece, pieceSeed);
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

}  // namespace arkivo::test

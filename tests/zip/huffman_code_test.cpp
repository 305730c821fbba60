#include "zip/deflate/huffman_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <random>
#include <vector>

namespace arkivo::deflate {
namespace {

using Frequencies = std::vector<std::uint32_t>;

// Huffman's algorithm by the book: the cost of an optimal code is the sum of the weights of
// all merged nodes.
std::uint64_t OptimalCost(const Frequencies& frequencies) {
    std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> queue;
    for (const auto f : frequencies) {
        if (f > 0) {
            queue.push(f);
        }
    }
    std::uint64_t cost = 0;
    while (queue.size() > 1) {
        const std::uint64_t a = queue.top();
        queue.pop();
        const std::uint64_t b = queue.top();
        queue.pop();
        cost += a + b;
        queue.push(a + b);
    }
    return cost;
}

// Package-merge: the cost of an optimal code whose lengths are at most limit.
std::uint64_t OptimalLimitedCost(const Frequencies& frequencies, unsigned limit) {
    std::vector<std::uint64_t> leaves;
    for (const auto f : frequencies) {
        if (f > 0) {
            leaves.push_back(f);
        }
    }
    std::sort(leaves.begin(), leaves.end());
    std::vector<std::uint64_t> packages;
    for (unsigned level = 0; level < limit; ++level) {
        std::vector<std::uint64_t> merged(leaves);
        merged.insert(merged.end(), packages.begin(), packages.end());
        std::sort(merged.begin(), merged.end());
        packages.clear();
        for (std::size_t i = 0; i + 1 < merged.size(); i += 2) {
            packages.push_back(merged[i] + merged[i + 1]);
        }
        if (level + 1 == limit) {
            // The cheapest 2n - 2 items of the last level make up the code.
            std::uint64_t cost = 0;
            for (std::size_t i = 0; i < 2 * leaves.size() - 2; ++i) {
                cost += merged[i];
            }
            return cost;
        }
    }
    return 0;
}

struct Result {
    std::vector<std::uint8_t> lengths;
    std::uint64_t cost = 0;
    unsigned longest = 0;
    double kraft = 0;
};

Result Build(const Frequencies& frequencies, unsigned limit) {
    Result result;
    result.lengths.resize(frequencies.size());
    EXPECT_TRUE(BuildCodeLengths(frequencies, limit, result.lengths));
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        const unsigned length = result.lengths[s];
        if (frequencies[s] > 0) {
            EXPECT_GT(length, 0u) << "a used symbol without a code";
        }
        result.cost += std::uint64_t{frequencies[s]} * length;
        result.longest = std::max(result.longest, length);
        if (length > 0) {
            result.kraft += 1.0 / static_cast<double>(1u << length);
        }
    }
    return result;
}

TEST(BuildCodeLengths, IsOptimalWhenTheLimitDoesNotBind) {
    std::mt19937 engine(1);
    for (int round = 0; round < 200; ++round) {
        Frequencies frequencies(286);
        // Within a factor of ten of each other, the codes stay far below 15 bits.
        for (auto& f : frequencies) {
            f = engine() % 4 == 0 ? 0 : 100 + engine() % 900;
        }
        const Result result = Build(frequencies, 15);
        EXPECT_EQ(result.cost, OptimalCost(frequencies));
        EXPECT_DOUBLE_EQ(result.kraft, 1.0);
    }
}

TEST(BuildCodeLengths, IsOptimalUnderABindingLimit) {
    // Fibonacci weights make the deepest possible Huffman tree.
    Frequencies fibonacci = {1, 1};
    while (fibonacci.size() < 30) {
        fibonacci.push_back(fibonacci[fibonacci.size() - 1] + fibonacci[fibonacci.size() - 2]);
    }
    std::mt19937 engine(2);
    Frequencies skewed(286);
    for (auto& f : skewed) {
        f = 1u << (engine() % 24);
    }
    const struct {
        const Frequencies& frequencies;
        unsigned limit;
    } cases[] = {{fibonacci, 15}, {fibonacci, 7}, {skewed, 15}, {skewed, 9}};
    for (const auto& c : cases) {
        const Result result = Build(c.frequencies, c.limit);
        EXPECT_LE(result.longest, c.limit);
        EXPECT_DOUBLE_EQ(result.kraft, 1.0);
        const auto best = static_cast<double>(OptimalLimitedCost(c.frequencies, c.limit));
        EXPECT_EQ(static_cast<double>(result.cost), best) << "limit " << c.limit;
    }
}

TEST(BuildCodeLengths, GivesTwoCodesWhenAtMostOneSymbolIsUsed) {
    Frequencies none(30);
    const Result empty = Build(none, 15);
    EXPECT_EQ(std::count(empty.lengths.begin(), empty.lengths.end(), 1), 2);
    EXPECT_DOUBLE_EQ(empty.kraft, 1.0);

    Frequencies one(30);
    one[7] = 42;
    const Result single = Build(one, 15);
    EXPECT_EQ(single.lengths[7], 1);
    EXPECT_EQ(std::count(single.lengths.begin(), single.lengths.end(), 1), 2);
}

TEST(BuildCanonicalCodes, FollowsTheExampleOfRfc1951) {
    // Section 3.2.2: lengths (3, 3, 3, 3, 3, 2, 4, 4) for A..H give these codes.
    const std::vector<std::uint8_t> lengths = {3, 3, 3, 3, 3, 2, 4, 4};
    const std::uint32_t expected[] = {0b010, 0b011, 0b100, 0b101, 0b110, 0b00, 0b1110, 0b1111};
    std::vector<std::uint16_t> codes(lengths.size());
    BuildCanonicalCodes(lengths, codes);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        EXPECT_EQ(codes[s], ReverseBits(expected[s], lengths[s])) << "symbol " << s;
    }
}

}  // namespace
}  // namespace arkivo::deflate

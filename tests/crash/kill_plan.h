// How many runs a crash test kills and with which random numbers: 20 kills in all by default,
// ARKIVO_CRASH_KILLS=N for a longer search, and ARKIVO_CRASH_SEED=S to replay a failure (every
// test prints the seed it used).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace arkivo::test {

inline int TotalKills() {
    const char* text = std::getenv("ARKIVO_CRASH_KILLS");
    const int kills = text != nullptr ? std::atoi(text) : 0;
    return kills > 0 ? kills : 20;
}

// One seed for the whole process, from the clock unless one is given.
inline std::uint64_t CrashSeed() {
    static const std::uint64_t seed = [] {
        const char* text = std::getenv("ARKIVO_CRASH_SEED");
        if (text != nullptr && *text != '\0') {
            return static_cast<std::uint64_t>(std::strtoull(text, nullptr, 10));
        }
        return static_cast<std::uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    return seed;
}

// The seed of one test: the run's seed with the test's name mixed in, so that replaying one
// test alone meets the same moments as it did among the others.
inline std::uint64_t SeedFor(std::uint64_t seed, const std::string& test) {
    for (char c : test) {
        seed = (seed ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    return seed;
}

}  // namespace arkivo::test

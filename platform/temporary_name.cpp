#include <array>
#include <atomic>
#include <random>

#include "platform/files.h"

namespace arkivo::platform {
namespace {

constexpr std::string_view kPrefix = ".arkivo-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kTokenDigits = 16;
constexpr std::string_view kDigits = "0123456789abcdef";

std::uint64_t RandomToken() {
    // Seeded once per process from the system's entropy; the counter keeps two names of one
    // process apart even if the generator repeated itself.
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    static std::atomic<std::uint64_t> counter{0};
    // splitmix64 over seed and counter: distinct counters give distinct tokens.
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (counter.fetch_add(1) + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template <typename Char>
bool HasTemporaryShape(std::basic_string_view<Char> name) {
    if (name.size() != kPrefix.size() + kTokenDigits + kSuffix.size()) {
        return false;
    }
    auto matches = [&name](std::size_t at, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (name[at + i] != static_cast<Char>(text[i])) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < kTokenDigits; ++i) {
        const Char c = name[kPrefix.size() + i];
        if (!((c >= Char('0') && c <= Char('9')) || (c >= Char('a') && c <= Char('f')))) {
            return false;
        }
    }
    return matches(0, kPrefix) && matches(kPrefix.size() + kTokenDigits, kSuffix);
}

}  // namespace

std::filesystem::path TemporaryPathIn(const std::filesystem::path& folder) {
    std::uint64_t token = RandomToken();
    std::string name(kPrefix);
    std::array<char, kTokenDigits> digits{};
    for (std::size_t i = kTokenDigits; i-- > 0; token >>= 4) {
        digits[i] = kDigits[token & 0xF];
    }
    name.append(digits.data(), digits.size());
    name += kSuffix;
    return folder.empty() ? std::filesystem::path(name) : folder / name;
}

bool IsTemporaryName(const std::filesystem::path& name) {
    using Char = std::filesystem::path::value_type;
    return HasTemporaryShape(std::basic_string_view<Char>(name.native()));
}

}  // namespace arkivo::platform

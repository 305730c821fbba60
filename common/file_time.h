// File times as the file systems keep them: 100-nanosecond units since 1601-01-01 UTC.
#pragma once

#include <cstdint>

namespace arkivo {

using FileTime = std::int64_t;

inline constexpr std::int64_t kFileTimeUnixEpoch = 116444736000000000;
inline constexpr std::int64_t kFileTimeUnitsPerSecond = 10000000;

// Whole seconds since 1970, the remainder dropped.
constexpr std::int64_t FileTimeToUnixSeconds(FileTime t) {
    return (t - kFileTimeUnixEpoch) / kFileTimeUnitsPerSecond;
}

constexpr FileTime UnixSecondsToFileTime(std::int64_t seconds) {
    return seconds * kFileTimeUnitsPerSecond + kFileTimeUnixEpoch;
}

}  // namespace arkivo

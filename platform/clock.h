// Wall-clock time and its local calendar form.
#pragma once

#include <cstdint>
#include <optional>

namespace arkivo::platform {

// Seconds since 1970-01-01 00:00 UTC.
std::int64_t NowUnixSeconds();

struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 = Sunday
};

std::optional<LocalTime> ToLocalTime(std::int64_t unixSeconds);

// Daylight saving is left to the platform's rules for that date.
std::optional<std::int64_t> FromLocalTime(const LocalTime& local);

}  // namespace arkivo::platform

#include "zip/entry_times.h"

#include "platform/clock.h"

namespace arkivo::zip {
namespace {

constexpr int kFirstDosYear = 1980;
constexpr int kLastDosYear = 2107;
constexpr int kFirstTimestampYear = 1970;
constexpr int kLastTimestampYear = 2037;

}  // namespace

std::uint32_t DosTimeStamp(std::int64_t unixSeconds) {
    auto local = platform::ToLocalTime(unixSeconds);
    if (!local || local->year < kFirstDosYear) {
        local = platform::LocalTime{kFirstDosYear, 1, 1, 0, 0, 0, 2};
    } else if (local->year > kLastDosYear) {
        local = platform::LocalTime{kLastDosYear, 12, 31, 23, 59, 58, 6};
    }
    const auto date = static_cast<std::uint32_t>(((local->year - kFirstDosYear) << 9) |
                                                 (local->month << 5) | local->day);
    const auto time = static_cast<std::uint32_t>((local->hour << 11) | (local->minute << 5) |
                                                 (local->second / 2));
    return (date << 16) | time;
}

std::uint32_t ExtendedTimestamp(std::int64_t unixSeconds) {
    const auto local = platform::ToLocalTime(unixSeconds);
    if (local && (local->year < kFirstTimestampYear || local->year > kLastTimestampYear)) {
        platform::LocalTime held = *local;
        const bool early = local->year < kFirstTimestampYear;
        held.year = early ? kFirstTimestampYear : kLastTimestampYear;
        held.month = early ? 1 : 12;
        held.day = early ? 1 : 31;
        if (const auto seconds = platform::FromLocalTime(held)) {
            unixSeconds = *seconds;
        }
    }
    return static_cast<std::uint32_t>(unixSeconds);
}

}  // namespace arkivo::zip

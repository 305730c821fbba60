// When the scheduler's settings fall due, as instants (seconds since 1970) of the local time
// zone. A day has at most one due instant: when the set time occurs twice (the hour repeated
// as the clocks go back) it is the first occurrence; when it does not occur at all (the hour
// skipped as the clocks go forward) it is the first moment after the skipped hour.
#pragma once

#include <cstdint>
#include <optional>

#include "schedule/schedule_settings.h"

namespace arkivo::schedule {

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

// 0 = Sunday.
int Weekday(const CivilDate& date);

// Whether the settings choose the day: every day, its weekday, or its day of the month.
bool IsChosenDay(const ScheduleSettings& settings, const CivilDate& date);

// The due instant of one day (a date that exists), when the settings choose it and the hour
// and minute can occur.
std::optional<std::int64_t> DueInstantOn(const ScheduleSettings& settings, const CivilDate& date);

// The latest due instant within [from, to]; none when the settings never fall due there. Looks
// back at most about a year from `to`.
std::optional<std::int64_t> LatestDueWithin(const ScheduleSettings& settings, std::int64_t from,
                                            std::int64_t to);

}  // namespace arkivo::schedule

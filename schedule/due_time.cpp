#include "schedule/due_time.h"

#include <algorithm>

#include "platform/clock.h"

namespace arkivo::schedule {
namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
// Further back than any month or weekly choice can leave without a due day.
constexpr std::int64_t kLookBackDays = 400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(const CivilDate& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear =
        (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    date.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

// Local date and time to the minute, comparable as one number.
std::int64_t MinuteKey(const CivilDate& date, long long hour, long long minute) {
    return (DaysFromCivil(date) * 24 + hour) * 60 + minute;
}

std::optional<std::int64_t> LocalMinuteKey(std::int64_t instant) {
    const auto local = platform::ToLocalTime(instant);
    if (!local) {
        return std::nullopt;
    }
    return MinuteKey({local->year, local->month, local->day}, local->hour, local->minute);
}

}  // namespace

int Weekday(const CivilDate& date) {
    const std::int64_t days = DaysFromCivil(date);
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

bool IsChosenDay(const ScheduleSettings& settings, const CivilDate& date) {
    switch (static_cast<Repeat>(settings.repeat)) {
        case Repeat::Daily:
            return true;
        case Repeat::Weekly:
            return settings.weekdays[static_cast<std::size_t>(Weekday(date))];
        case Repeat::Monthly:
            return settings.monthDay == date.day;
        default:
            return false;
    }
}

std::optional<std::int64_t> DueInstantOn(const ScheduleSettings& settings, const CivilDate& date) {
    if (settings.hour < 0 || settings.hour > 23 || settings.minute < 0 || settings.minute > 59 ||
        !IsChosenDay(settings, date)) {
        return std::nullopt;
    }
    const std::int64_t wanted = MinuteKey(date, settings.hour, settings.minute);
    platform::LocalTime local;
    local.year = date.year;
    local.month = date.month;
    local.day = date.day;
    local.hour = static_cast<int>(settings.hour);
    local.minute = static_cast<int>(settings.minute);
    const auto guess = platform::FromLocalTime(local);
    if (!guess) {
        return std::nullopt;
    }
    // The runtime picks either occurrence of a repeated time; an hour earlier finds the first.
    for (const std::int64_t earlier : {kHour, kHour / 2, std::int64_t{0}}) {
        if (LocalMinuteKey(*guess - earlier) == wanted) {
            return *guess - earlier;
        }
    }
    // The set time was skipped: the first minute the clock shows after it.
    const std::int64_t start = *guess - 2 * kHour - ((*guess % kMinute) + kMinute) % kMinute;
    for (std::int64_t instant = start; instant <= *guess + 2 * kHour; instant += kMinute) {
        const auto shown = LocalMinuteKey(instant);
        if (shown && *shown > wanted) {
            return instant;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> LatestDueWithin(const ScheduleSettings& settings, std::int64_t from,
                                            std::int64_t to) {
    if (from > to) {
        return std::nullopt;
    }
    const auto last = platform::ToLocalTime(to);
    if (!last) {
        return std::nullopt;
    }
    const std::int64_t lastDay = DaysFromCivil({last->year, last->month, last->day});
    // A due instant lies within a few hours of its day's local midnight, whatever the zone.
    const std::int64_t firstDay =
        std::max(lastDay - (to - from) / kDay - 2, lastDay - kLookBackDays);
    for (std::int64_t day = lastDay; day >= firstDay; --day) {
        const auto due = DueInstantOn(settings, CivilFromDays(day));
        if (!due || *due > to) {
            continue;
        }
        if (*due < from) {
            return std::nullopt;
        }
        return due;
    }
    return std::nullopt;
}

}  // namespace arkivo::schedule

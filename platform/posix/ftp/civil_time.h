// Calendar dates and times of day as seconds since 1970, with no time zone: the arithmetic the
// listing parsers need, independent of the machine's zone and of the C runtime.
#pragma once

#include <cstdint>
#include <optional>

namespace arkivo::platform::ftp {

struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

constexpr bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date in the proleptic Gregorian calendar (the usual era-based
// computation, exact for any year an int holds).
constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Nothing when a field is out of its range (a 31st of April, an hour 24). A leap second (60)
// counts as the second before it: a file time needs no finer truth.
constexpr std::optional<std::int64_t> CivilToUnixSeconds(const CivilTime& t) {
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 60) {
        return std::nullopt;
    }
    const int second = t.second == 60 ? 59 : t.second;
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + second;
}

// The calendar year in which the moment falls.
constexpr int YearOfUnixSeconds(std::int64_t seconds) {
    std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int year = static_cast<int>(1970 + days / 365);
    while (DaysFromCivil(year, 1, 1) > days) {
        --year;
    }
    while (DaysFromCivil(year + 1, 1, 1) <= days) {
        ++year;
    }
    return year;
}

}  // namespace arkivo::platform::ftp

#include "jobs/job_period.h"

#include <cstdio>

#include "platform/clock.h"

namespace arkivo {
namespace {

enum class Precision { Day, Minute, Second };

struct TypedTime {
    platform::LocalTime local;
    Precision precision = Precision::Day;
};

bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD", then optionally "THH:MM" and ":SS"; nothing else around it.
std::optional<TypedTime> ParseTyped(std::string_view text) {
    TypedTime typed;
    auto& t = typed.local;
    if (text.size() != 10 && text.size() != 16 && text.size() != 19) {
        return std::nullopt;
    }
    if (!ReadDigits(text, 0, 4, t.year) || text[4] != '-' || !ReadDigits(text, 5, 2, t.month) ||
        text[7] != '-' || !ReadDigits(text, 8, 2, t.day)) {
        return std::nullopt;
    }
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month)) {
        return std::nullopt;
    }
    if (text.size() == 10) {
        return typed;
    }
    if ((text[10] != 'T' && text[10] != ' ') || !ReadDigits(text, 11, 2, t.hour) ||
        text[13] != ':' || !ReadDigits(text, 14, 2, t.minute) || t.hour > 23 || t.minute > 59) {
        return std::nullopt;
    }
    typed.precision = Precision::Minute;
    if (text.size() == 16) {
        return typed;
    }
    if (text[16] != ':' || !ReadDigits(text, 17, 2, t.second) || t.second > 59) {
        return std::nullopt;
    }
    typed.precision = Precision::Second;
    return typed;
}

// Stored times are unsigned and 0 is "none": the earliest second taken is the one after 1970
// began.
std::optional<std::int64_t> Seconds(const platform::LocalTime& local) {
    const auto seconds = platform::FromLocalTime(local);
    if (!seconds || *seconds < 1) {
        return std::nullopt;
    }
    return seconds;
}

enum class Shown { Day, Minute, Second };

std::string Format(std::int64_t seconds, Shown shown) {
    const auto local = platform::ToLocalTime(seconds);
    if (!local) {
        return "?";
    }
    char buffer[40];
    if (shown == Shown::Day) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", local->year, local->month,
                      local->day);
    } else if (shown == Shown::Minute) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d", local->year, local->month,
                      local->day, local->hour, local->minute);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", local->year,
                      local->month, local->day, local->hour, local->minute, local->second);
    }
    return buffer;
}

// How precisely an instant has to be shown to be read back as itself.
Shown PrecisionOf(std::int64_t seconds) {
    const auto local = platform::ToLocalTime(seconds);
    if (!local || local->second != 0) {
        return Shown::Second;
    }
    return local->hour == 0 && local->minute == 0 ? Shown::Day : Shown::Minute;
}

}  // namespace

bool HasPeriod(const JobRecord& job) {
    return job.periodEnd != 0;
}

std::optional<JobPeriod> PeriodOf(const JobRecord& job) {
    if (!HasPeriod(job)) {
        return std::nullopt;
    }
    return JobPeriod{static_cast<std::int64_t>(job.periodStart) + 1,
                     static_cast<std::int64_t>(job.periodEnd)};
}

void SetPeriod(JobRecord& job, const JobPeriod& period) {
    job.periodStart = static_cast<std::uint64_t>(period.first - 1);
    job.periodEnd = static_cast<std::uint64_t>(period.pastLast);
}

std::optional<std::int64_t> PeriodStartFromText(std::string_view text) {
    const auto typed = ParseTyped(text);
    return typed ? Seconds(typed->local) : std::nullopt;
}

std::optional<std::int64_t> PeriodEndFromText(std::string_view text) {
    auto typed = ParseTyped(text);
    if (!typed || !Seconds(typed->local)) {
        return std::nullopt;
    }
    // The first second after what was named; the local-time rules carry the overflow into
    // the next minute, day or month, across a change of daylight saving too.
    auto& t = typed->local;
    switch (typed->precision) {
        case Precision::Day:
            ++t.day;
            t.hour = t.minute = t.second = 0;
            break;
        case Precision::Minute:
            ++t.minute;
            t.second = 0;
            break;
        case Precision::Second:
            ++t.second;
            break;
    }
    return Seconds(t);
}

std::string PeriodText(const JobPeriod& period) {
    const Shown endShown = PrecisionOf(period.pastLast);
    const std::int64_t last = period.pastLast - (endShown == Shown::Minute ? 60 : 1);
    return Format(period.first, PrecisionOf(period.first)) + " to " + Format(last, endShown);
}

}  // namespace arkivo

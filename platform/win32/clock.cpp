#include "platform/clock.h"

#include <ctime>

namespace arkivo::platform {

std::int64_t NowUnixSeconds() {
    return static_cast<std::int64_t>(::_time64(nullptr));
}

std::optional<LocalTime> ToLocalTime(std::int64_t unixSeconds) {
    const __time64_t t = unixSeconds;
    struct tm parts {};
    if (::_localtime64_s(&parts, &t) != 0) {
        return std::nullopt;
    }
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                     parts.tm_min,         parts.tm_sec,     parts.tm_wday};
}

std::optional<std::int64_t> FromLocalTime(const LocalTime& local) {
    struct tm parts {};
    parts.tm_year = local.year - 1900;
    parts.tm_mon = local.month - 1;
    parts.tm_mday = local.day;
    parts.tm_hour = local.hour;
    parts.tm_min = local.minute;
    parts.tm_sec = local.second;
    parts.tm_isdst = -1;
    const __time64_t t = ::_mktime64(&parts);
    if (t == static_cast<__time64_t>(-1)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

}  // namespace arkivo::platform

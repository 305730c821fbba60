// The C runtime's broken-down time and our LocalTime, field by field.
#pragma once

#include <ctime>

#include "platform/clock.h"

namespace arkivo::platform {

inline LocalTime FromTm(const struct tm& parts) {
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                     parts.tm_min,         parts.tm_sec,     parts.tm_wday};
}

// Daylight saving is left for the runtime to decide.
inline struct tm ToTm(const LocalTime& local) {
    struct tm parts {};
    parts.tm_year = local.year - 1900;
    parts.tm_mon = local.month - 1;
    parts.tm_mday = local.day;
    parts.tm_hour = local.hour;
    parts.tm_min = local.minute;
    parts.tm_sec = local.second;
    parts.tm_isdst = -1;
    return parts;
}

}  // namespace arkivo::platform

#include "platform/clock.h"

#include <ctime>

#include "platform/tm_fields.h"

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
    return FromTm(parts);
}

std::optional<std::int64_t> FromLocalTime(const LocalTime& local) {
    struct tm parts = ToTm(local);
    const __time64_t t = ::_mktime64(&parts);
    if (t == static_cast<__time64_t>(-1)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

}  // namespace arkivo::platform

#include "platform/clock.h"

#include <ctime>

#include "platform/tm_fields.h"

namespace arkivo::platform {

std::int64_t NowUnixSeconds() {
    return static_cast<std::int64_t>(::time(nullptr));
}

std::optional<LocalTime> ToLocalTime(std::int64_t unixSeconds) {
    const auto t = static_cast<time_t>(unixSeconds);
    struct tm parts {};
    if (::localtime_r(&t, &parts) == nullptr) {
        return std::nullopt;
    }
    return FromTm(parts);
}

std::optional<std::int64_t> FromLocalTime(const LocalTime& local) {
    struct tm parts = ToTm(local);
    const time_t t = ::mktime(&parts);
    if (t == static_cast<time_t>(-1)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

}  // namespace arkivo::platform

// Runs a test in a chosen time zone and puts the previous one back afterwards. The zones are
// the system's named ones, which the Windows runtime does not know: tests that need daylight
// saving rules skip there.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace arkivo::test {

inline void SetTimeZone(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone);
    _tzset();
#else
    ::setenv("TZ", zone, 1);
    ::tzset();
#endif
}

class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
        }
        SetTimeZone(zone);
    }
    ~TimeZone() {
        if (previous_) {
            SetTimeZone(previous_->c_str());
        } else {
#ifdef _WIN32
            _putenv_s("TZ", "");
            _tzset();
#else
            ::unsetenv("TZ");
            ::tzset();
#endif
        }
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

  private:
    std::optional<std::string> previous_;
};

// Seconds since 1970 of a UTC date and time, from the standard library's calendar.
inline std::int64_t Utc(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                        int second = 0) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year{year} / std::chrono::month{month} /
                        std::chrono::day{day}};
    return duration_cast<seconds>(date.time_since_epoch()).count() + hour * 3600 + minute * 60 +
           second;
}

}  // namespace arkivo::test

#ifdef _WIN32
#define ARKIVO_NEEDS_ZONE_RULES() GTEST_SKIP() << "the Windows runtime has no named time zones"
#else
#define ARKIVO_NEEDS_ZONE_RULES() static_cast<void>(0)
#endif

// The scheduler's settings, section "Scheduler" of "Option.ini": whether it is on, how it
// repeats, the hour and minute, the weekdays or the day of the month, and whether a run missed
// while the machine was off or asleep is caught up. Values are kept as the user stored them:
// an hour of 25 is read as 25 and simply never comes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace arkivo {
class CLangIni;
}

namespace arkivo::schedule {

inline constexpr std::u16string_view kSchedulerSection = u"Scheduler";

enum class Repeat : long long { None = 0, Daily = 1, Weekly = 2, Monthly = 3 };

struct ScheduleSettings {
    bool on = false;
    long long repeat = 0;  // Repeat, or any other number, which never runs
    long long hour = 0;
    long long minute = 0;
    std::array<bool, 7> weekdays{};  // Sunday first
    long long monthDay = 0;
    bool catchUp = false;
};

// The keys of the weekdays, Sunday first.
inline constexpr std::array<std::u16string_view, 7> kWeekdayKeys = {u"SUN", u"MON", u"TUE", u"WED",
                                                                    u"THU", u"FRI", u"SAT"};

ScheduleSettings ReadScheduleSettings(CLangIni& option);

// Writes every key the settings have, each one through to the file; false, with the store's
// LastWriteError, when one could not be written.
bool WriteScheduleSettings(CLangIni& option, const ScheduleSettings& settings);

// The due time the scheduler last started a run for (or from which it began to watch), in
// seconds since 1970: what a catch-up after a start-up compares with.
std::optional<std::int64_t> ReadLastScheduledRun(CLangIni& option);
bool WriteLastScheduledRun(CLangIni& option, std::int64_t dueTime);

}  // namespace arkivo::schedule

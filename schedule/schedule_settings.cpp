#include "schedule/schedule_settings.h"

#include "common/text.h"
#include "settings/lang_ini.h"

namespace arkivo::schedule {
namespace {

constexpr std::u16string_view kUseScheduler = u"UseScheduler";
constexpr std::u16string_view kHowToRepeat = u"HowToRepeat";
constexpr std::u16string_view kHour = u"Hour";
constexpr std::u16string_view kMinute = u"Min";
constexpr std::u16string_view kMonthDay = u"DATE";
constexpr std::u16string_view kCatchUp = u"CatchUp";
constexpr std::u16string_view kLastScheduledRun = u"LastScheduledRun";

long long Read(CLangIni& option, std::u16string_view key) {
    return ReadNumber(option, kSchedulerSection, key);
}

bool Store(CLangIni& option, std::u16string_view key, long long value) {
    return StoreValue(option, kSchedulerSection, key, ToDecimal(value));
}

}  // namespace

ScheduleSettings ReadScheduleSettings(CLangIni& option) {
    ScheduleSettings settings;
    settings.on = Read(option, kUseScheduler) != 0;
    settings.repeat = Read(option, kHowToRepeat);
    settings.hour = Read(option, kHour);
    settings.minute = Read(option, kMinute);
    for (std::size_t day = 0; day < kWeekdayKeys.size(); ++day) {
        settings.weekdays[day] = Read(option, kWeekdayKeys[day]) != 0;
    }
    settings.monthDay = Read(option, kMonthDay);
    settings.catchUp = Read(option, kCatchUp) != 0;
    return settings;
}

bool WriteScheduleSettings(CLangIni& option, const ScheduleSettings& settings) {
    bool written = Store(option, kUseScheduler, settings.on ? 1 : 0) &&
                   Store(option, kHowToRepeat, settings.repeat) &&
                   Store(option, kHour, settings.hour) && Store(option, kMinute, settings.minute) &&
                   Store(option, kMonthDay, settings.monthDay) &&
                   Store(option, kCatchUp, settings.catchUp ? 1 : 0);
    for (std::size_t day = 0; written && day < kWeekdayKeys.size(); ++day) {
        written = Store(option, kWeekdayKeys[day], settings.weekdays[day] ? 1 : 0);
    }
    return written;
}

std::optional<std::int64_t> ReadLastScheduledRun(CLangIni& option) {
    const auto text = option.GetValue(kSchedulerSection, kLastScheduledRun);
    if (text.empty()) {
        return std::nullopt;
    }
    return ParseLeadingInt(text);
}

bool WriteLastScheduledRun(CLangIni& option, std::int64_t dueTime) {
    return Store(option, kLastScheduledRun, dueTime);
}

}  // namespace arkivo::schedule

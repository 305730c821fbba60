#include "cli/scheduler_text.h"

#include <cstdio>

#include "cli/console.h"

namespace arkivo::cli {
namespace {

std::string TimeText(const schedule::ScheduleSettings& settings) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld", settings.hour, settings.minute);
    return buffer;
}

std::string RepeatText(const schedule::ScheduleSettings& settings) {
    switch (static_cast<schedule::Repeat>(settings.repeat)) {
        case schedule::Repeat::Daily:
            return "daily";
        case schedule::Repeat::Weekly: {
            std::string days;
            for (std::size_t day = 0; day < settings.weekdays.size(); ++day) {
                if (settings.weekdays[day]) {
                    days += (days.empty() ? "" : ",") + Narrow(schedule::kWeekdayKeys[day]);
                }
            }
            return "weekly on " + (days.empty() ? std::string("no day") : days);
        }
        case schedule::Repeat::Monthly:
            return "monthly on day " + std::to_string(settings.monthDay);
        default:
            return "no repeat chosen";
    }
}

}  // namespace

std::string ScheduleText(const schedule::ScheduleSettings& settings) {
    std::string text = settings.on ? "on, " + RepeatText(settings) + " at " + TimeText(settings)
                                   : std::string("off");
    return text + ", catch-up " + (settings.catchUp ? "on" : "off");
}

std::string AutoDetectText(const schedule::AutoDetectSettings& settings) {
    if (!settings.on) {
        return "off";
    }
    return "on, every " + std::to_string(settings.cycleHours) +
           (settings.cycleHours == 1 ? " hour" : " hours");
}

}  // namespace arkivo::cli

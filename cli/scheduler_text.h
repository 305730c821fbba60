// The scheduler's and auto-detect's settings in words, as `options` and `schedule` show them.
// Stored values that can never come (an hour of 25) are shown as stored, so the user sees why
// nothing runs.
#pragma once

#include <string>

#include "schedule/auto_detect_settings.h"
#include "schedule/schedule_settings.h"

namespace arkivo::cli {

// "off", "daily at 10:00", "weekly on MON, WED at 07:30, catch-up on"...
std::string ScheduleText(const schedule::ScheduleSettings& settings);

// "off", "on, every 3 hours".
std::string AutoDetectText(const schedule::AutoDetectSettings& settings);

}  // namespace arkivo::cli

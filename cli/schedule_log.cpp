#include "cli/schedule_log.h"

#include <cstdio>
#include <iostream>

#include "cli/console.h"
#include "common/text.h"
#include "platform/clock.h"
#include "settings/user_message.h"

namespace arkivo::cli {

std::string LocalMinuteText(std::int64_t unixSeconds) {
    const auto local = platform::ToLocalTime(unixSeconds);
    if (!local) {
        return "?";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", local->year, local->month,
                  local->day, local->hour, local->minute);
    return buffer;
}

void ScheduleLog::Line(const std::string& text) {
    const auto now = clock_.Now();
    const auto local = platform::ToLocalTime(now);
    char seconds[8] = ":??";
    if (local) {
        std::snprintf(seconds, sizeof seconds, ":%02d", local->second);
    }
    std::lock_guard lock(mutex_);
    std::cout << LocalMinuteText(now) << seconds << ' ' << text << std::endl;
}

void ScheduledRunLog::OnMessage(const UserMessage& message) {
    log_.Line(Utf16ToUtf8(Resolve(language_, message)));
}

void ScheduledRunLog::OnRunFinished(const engine::RunSummary& summary, std::u16string_view) {
    if (summary.refused) {
        log_.Line("run not started: another run holds the data folder");
        return;
    }
    log_.Line("run finished: " + std::to_string(summary.jobsRun) + " jobs, " +
              std::to_string(summary.copied) + " files copied, " + std::to_string(summary.deleted) +
              " deleted, " + std::to_string(summary.failed) + " failed" +
              (summary.stopped ? ", stopped" : ""));
}

}  // namespace arkivo::cli

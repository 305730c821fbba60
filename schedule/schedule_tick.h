// The scheduler's tick: every 30 seconds the program asks whether a run is to start now. The
// answer depends only on the settings, the time and what the scheduler remembers of earlier
// ticks, so the same tick drives the Windows program's timer and `arkivo schedule`.
//
// A due time starts one run, at the first tick at or after it: two ticks within one minute,
// a clock set back, or a set time that the clocks show twice never start a second one. A tick
// that comes late (the machine was busy) still starts the run it would have started. A gap
// longer than that means the machine was off or asleep: the runs missed meanwhile are caught up
// with one run when the settings ask for it, and left out otherwise.
#pragma once

#include <cstdint>
#include <optional>

#include "schedule/schedule_settings.h"

namespace arkivo::schedule {

inline constexpr std::int64_t kTickSeconds = 30;
// How late a tick may come and still start the run it missed.
inline constexpr std::int64_t kLateTickSeconds = 5 * 60;

struct ScheduleMemory {
    // When the previous tick of this program came; none before its first tick.
    std::optional<std::int64_t> previousTick;
    // The due time the last run was started for. It outlives the program (the caller keeps it
    // with ReadLastScheduledRun and WriteLastScheduledRun), so a start-up can catch up.
    std::optional<std::int64_t> lastScheduledRun;
};

struct TickDecision {
    bool startRun = false;
    std::int64_t dueTime = 0;   // the due time the run is for
    bool caughtUp = false;      // it was missed while the machine was off or asleep
    bool memoryToKeep = false;  // lastScheduledRun changed: store it
};

TickDecision DecideTick(const ScheduleSettings& settings, std::int64_t now, ScheduleMemory& memory);

}  // namespace arkivo::schedule

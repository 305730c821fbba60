#include "schedule/schedule_tick.h"

#include <algorithm>

#include "schedule/due_time.h"

namespace arkivo::schedule {

TickDecision DecideTick(const ScheduleSettings& settings, std::int64_t now,
                        ScheduleMemory& memory) {
    TickDecision decision;
    const std::int64_t minuteStart = now - ((now % 60) + 60) % 60;
    const auto previous = memory.previousTick;
    memory.previousTick = now;
    if (!memory.lastScheduledRun) {
        // Nothing was missed before the scheduler first looked.
        memory.lastScheduledRun = minuteStart - 1;
        decision.memoryToKeep = true;
    }
    if (!settings.on) {
        return decision;
    }
    // The current minute always counts; so does the time since the previous tick when that
    // tick was merely late, and, for a catch-up, all the time since the last scheduled run.
    const bool lateTick = previous && *previous < now && now - *previous <= kLateTickSeconds;
    std::int64_t from = minuteStart;
    if (lateTick) {
        from = std::min(from, *previous + 1);
    } else if (settings.catchUp) {
        from = std::min(from, *memory.lastScheduledRun + 1);
    }
    const auto due = LatestDueWithin(settings, from, now);
    if (!due || *due <= *memory.lastScheduledRun) {
        return decision;
    }
    memory.lastScheduledRun = *due;
    decision.memoryToKeep = true;
    decision.startRun = true;
    decision.dueTime = *due;
    decision.caughtUp = *due < minuteStart && !lateTick;
    return decision;
}

}  // namespace arkivo::schedule

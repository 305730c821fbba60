// What `arkivo schedule` tells: one line per event on standard output, each beginning with the
// local date and time of the scheduler's clock, written whole even when several threads tell
// at once.
#pragma once

#include <mutex>
#include <string>

#include "cli/schedule_clock.h"
#include "engine/run_observer.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::cli {

class ScheduleLog {
  public:
    explicit ScheduleLog(const ScheduleClock& clock) : clock_(clock) {}
    void Line(const std::string& text);

  private:
    const ScheduleClock& clock_;
    std::mutex mutex_;
};

// "2026-12-07 10:00" in local time.
std::string LocalMinuteText(std::int64_t unixSeconds);

// A run the scheduler started: its messages and its end.
class ScheduledRunLog : public engine::RunObserver {
  public:
    ScheduledRunLog(ScheduleLog& log, CLangIni& language) : log_(log), language_(language) {}

    bool ShowsProgress() const override { return false; }
    void OnMessage(const UserMessage& message) override;
    void OnRunFinished(const engine::RunSummary& summary, std::u16string_view) override;

  private:
    ScheduleLog& log_;
    CLangIni& language_;
};

}  // namespace arkivo::cli

#include "cli/schedule_command.h"

#include <pthread.h>

#include <csignal>
#include <ctime>
#include <optional>

#include "cli/exit_code.h"
#include "cli/schedule_clock.h"
#include "cli/schedule_log.h"
#include "cli/scheduler_text.h"
#include "engine/run_controller.h"
#include "schedule/auto_detect_settings.h"
#include "schedule/auto_detect_worker.h"
#include "schedule/schedule_settings.h"
#include "schedule/schedule_tick.h"

namespace arkivo::cli {
namespace {

std::string JobNumbers(const std::vector<std::size_t>& jobs) {
    std::string text;
    for (const auto index : jobs) {
        text += (text.empty() ? "" : ", ") + std::to_string(index + 1);
    }
    return text;
}

void TellPass(ScheduleLog& log, const schedule::PassOutcome& outcome) {
    if (outcome.anotherPass) {
        log.Line("auto-detect: another pass is going");
        return;
    }
    std::string text = outcome.marked.empty()
                           ? "auto-detect: no job has files to copy"
                           : "auto-detect: files to copy in job " + JobNumbers(outcome.marked);
    if (outcome.ended) {
        text += " (the pass gave way to a run)";
    }
    log.Line(text);
}

class Scheduler {
  public:
    explicit Scheduler(Context& context)
        : context_(context),
          clock_(ScheduleClock::FromEnvironment()),
          log_(clock_),
          runLog_(log_, context.stores.language),
          detector_(context.home, &control_) {}

    // One tick: the schedule, then the periodic auto-detect.
    void Tick() {
        auto& option = context_.stores.option;
        const auto now = clock_.Now();
        option.Reread();
        const auto settings = schedule::ReadScheduleSettings(option);
        // Another program on the same folder may have started a run for a due time since.
        const auto stored = schedule::ReadLastScheduledRun(option);
        if (stored && (!memory_.lastScheduledRun || *stored > *memory_.lastScheduledRun)) {
            memory_.lastScheduledRun = stored;
        }
        const auto decision = schedule::DecideTick(settings, now, memory_);
        if (decision.memoryToKeep &&
            !schedule::WriteLastScheduledRun(option, *memory_.lastScheduledRun)) {
            log_.Line("cannot write " + option.Path().string() + ": " +
                      option.LastWriteError().message());
        }
        if (decision.startRun) {
            StartRun(decision);
        }
        const auto detect = schedule::ReadAutoDetectSettings(option);
        if (!nextPass_ || now >= *nextPass_) {
            nextPass_ = now + detect.cycleHours * 3600;
            if (detect.on && detector_.Start([this](const schedule::PassOutcome& outcome) {
                    TellPass(log_, outcome);
                })) {
                log_.Line("auto-detect: pass started");
            }
        }
    }

    void Begin() {
        auto& option = context_.stores.option;
        log_.Line("scheduler for " + context_.home.string() + ": " +
                  ScheduleText(schedule::ReadScheduleSettings(option)) + "; auto-detect " +
                  AutoDetectText(schedule::ReadAutoDetectSettings(option)));
    }

    void End() {
        log_.Line("stopping");
        detector_.Cancel();
        control_.Stop();
        control_.Wait();
        detector_.Wait();
        log_.Line("stopped");
    }

    std::chrono::nanoseconds TickWait() const {
        return clock_.RealDuration(schedule::kTickSeconds);
    }

  private:
    void StartRun(const schedule::TickDecision& decision) {
        std::string why = "for " + LocalMinuteText(decision.dueTime);
        if (decision.caughtUp) {
            why += ", missed while the machine was off or asleep";
        }
        // As the start button: a run of this program that is going (or paused) is resumed,
        // never doubled; a run of another program refuses this one through the run lock.
        if (control_.Start(context_.stores, runLog_)) {
            log_.Line("starting a run " + why);
        } else {
            log_.Line("run not started " + why + ": a run is going already");
        }
    }

    Context& context_;
    ScheduleClock clock_;
    ScheduleLog log_;
    ScheduledRunLog runLog_;
    engine::RunController control_;
    schedule::AutoDetectWorker detector_;
    schedule::ScheduleMemory memory_;
    std::optional<std::int64_t> nextPass_;
};

int Schedule(Context& context) {
    // Blocked before any thread starts, so the signals wait for the loop below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Scheduler scheduler(context);
    scheduler.Begin();
    for (;;) {
        scheduler.Tick();
        const auto wait = scheduler.TickWait();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        const timespec timeout{static_cast<time_t>(seconds.count()),
                               static_cast<long>((wait - seconds).count())};
        const int received = sigtimedwait(&stopSignals, nullptr, &timeout);
        if (received == SIGINT || received == SIGTERM) {
            break;
        }
    }
    scheduler.End();
    return kExitDone;
}

}  // namespace

void AddScheduleCommand(CLI::App& app, CommandAction& action) {
    app.add_subcommand("schedule",
                       "start the ticked jobs at the scheduled times and look for files to copy "
                       "every few hours, as the options say, until stopped (SIGTERM, Ctrl-C)")
        ->callback([&action] { action = [](Context& context) { return Schedule(context); }; });
}

}  // namespace arkivo::cli

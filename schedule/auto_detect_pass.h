// One auto-detect pass: for every job between local folders that is not marked yet, whether a
// run would copy anything, kept per job as "ThereisFileToCopy" in "Setting.ini" (the job list
// shows the marked jobs). Nothing is copied and the job list is not written. A mark stays until
// a run of the job clears it, or until the first pass after the program starts, which clears
// every mark first so that none from before survives.
//
// A pass gives way to runs: it waits while a run is paused and ends when a run is going, in
// this process or in another one. One pass at a time works on a data folder.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "engine/walk_control.h"
#include "settings/user_message.h"

namespace arkivo::engine {
class RunController;
}

namespace arkivo::schedule {

// What ends a pass early.
class PassWatch : public engine::WalkControl {
  public:
    // `ownRun`: the run controller of this process, if it has one.
    PassWatch(std::filesystem::path dataFolder, engine::RunController* ownRun);

    // Ends the pass at its next entry (a stop request, the program closing).
    void Cancel() { cancelled_ = true; }

    bool WaitWhilePausedAndCheckStop(engine::RunObserver& observer) override;
    // The same between two walks; looks at once whether another process runs.
    bool ShouldEnd();

  private:
    bool Ended(engine::RunObserver& observer, bool lookAtRunLockNow);

    std::filesystem::path dataFolder_;
    engine::RunController* ownRun_;
    std::atomic<bool> cancelled_{false};
    bool runSeen_ = false;
    // Whether another process runs is seen from the run lock, at most this often: a look holds
    // the lock for an instant, in which a run that starts elsewhere would be refused.
    std::chrono::steady_clock::time_point nextRunLockLook_{};
};

struct PassOutcome {
    bool anotherPass = false;         // another pass had the data folder: this one did nothing
    bool ended = false;               // a run, or Cancel, ended it before the last job
    std::vector<std::size_t> marked;  // the jobs marked when the pass ended, in table order
    std::vector<UserMessage> messages;
};

PassOutcome RunAutoDetectPass(const std::filesystem::path& dataFolder, PassWatch& watch,
                              bool firstPass);

}  // namespace arkivo::schedule

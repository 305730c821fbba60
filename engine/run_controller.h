// Starts, pauses, resumes and stops backup runs on a worker thread. One run exists at a time:
// a start while a run is active (or a stopped run is still finishing its epilogue) only
// resumes it.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/run_observer.h"
#include "engine/run_options.h"
#include "engine/walk_control.h"

namespace arkivo {
struct AppStores;
}

namespace arkivo::engine {

class RunController : public WalkControl {
  public:
    RunController();
    ~RunController();  // stops a run that is still going and waits for it

    // Returns false when a run was already active; it is then resumed instead. The stores and
    // the observer must outlive the run.
    bool Start(AppStores& stores, RunObserver& observer, RunOptions options = {});
    void Pause();
    void Resume();
    void Stop();

    bool IsRunning() const;  // a worker exists (also while a stopped run finishes)
    bool IsPaused() const;
    bool StopRequested() const;

    // Blocks until the worker has ended; the summary of the last run that ended.
    RunSummary Wait();

    // Used by the walkers: true when they must leave their loops. Waits, without spinning,
    // while the run is paused.
    bool WaitWhilePausedAndCheckStop(RunObserver& observer) override;

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread worker_;
    bool running_ = false;
    bool paused_ = false;
    bool stopRequested_ = false;
    RunSummary lastSummary_;
};

}  // namespace arkivo::engine

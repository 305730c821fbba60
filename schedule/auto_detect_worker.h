// Auto-detect passes on a worker thread, one at a time. The worker counts as busy from the
// moment Start accepts, before its thread runs, so two starts in quick succession begin one
// pass. The first pass after the worker is made clears the marks of earlier programs.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "schedule/auto_detect_pass.h"

namespace arkivo::schedule {

class AutoDetectWorker {
  public:
    using Ended = std::function<void(const PassOutcome&)>;

    AutoDetectWorker(std::filesystem::path dataFolder, engine::RunController* ownRun);
    ~AutoDetectWorker();  // ends a pass that is still going and waits for it

    AutoDetectWorker(const AutoDetectWorker&) = delete;
    AutoDetectWorker& operator=(const AutoDetectWorker&) = delete;

    // False when a pass is going: nothing is started. `ended` is called on the worker thread.
    bool Start(Ended ended);
    bool IsBusy() const { return busy_; }
    // Ends the pass that is going at its next entry.
    void Cancel();
    void Wait();

  private:
    std::filesystem::path dataFolder_;
    engine::RunController* ownRun_;
    std::atomic<bool> busy_{false};
    bool firstPass_ = true;
    std::mutex mutex_;
    PassWatch* watch_ = nullptr;  // the going pass's, under mutex_
    bool cancelled_ = false;
    std::thread thread_;
};

}  // namespace arkivo::schedule

#include "engine/run_controller.h"

#include "engine/backup_run.h"

namespace arkivo::engine {

RunController::RunController() = default;

RunController::~RunController() {
    Stop();
    Wait();
}

bool RunController::Start(AppStores& stores, RunObserver& observer, RunOptions options) {
    std::unique_lock lock(mutex_);
    if (running_) {
        paused_ = false;
        changed_.notify_all();
        return false;
    }
    if (worker_.joinable()) {
        worker_.join();  // a run that already ended: its thread only has to be reaped
    }
    running_ = true;
    paused_ = false;
    stopRequested_ = false;
    worker_ = std::thread([this, &stores, &observer, options = std::move(options)] {
        const RunSummary summary = RunBackup(stores, observer, *this, options);
        std::lock_guard end(mutex_);
        lastSummary_ = summary;
        running_ = false;
        paused_ = false;
        stopRequested_ = false;
        changed_.notify_all();
    });
    return true;
}

void RunController::Pause() {
    std::lock_guard lock(mutex_);
    if (running_ && !stopRequested_) {
        paused_ = true;
    }
}

void RunController::Resume() {
    std::lock_guard lock(mutex_);
    paused_ = false;
    changed_.notify_all();
}

void RunController::Stop() {
    std::lock_guard lock(mutex_);
    if (running_) {
        stopRequested_ = true;
        paused_ = false;
        changed_.notify_all();
    }
}

bool RunController::IsRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool RunController::IsPaused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

bool RunController::StopRequested() const {
    std::lock_guard lock(mutex_);
    return stopRequested_;
}

RunSummary RunController::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
    std::lock_guard lock(mutex_);
    return lastSummary_;
}

bool RunController::WaitWhilePausedAndCheckStop(RunObserver& observer) {
    std::unique_lock lock(mutex_);
    if (!paused_ || stopRequested_) {
        return stopRequested_;
    }
    lock.unlock();
    observer.OnPaused(true);
    lock.lock();
    changed_.wait(lock, [this] { return !paused_ || stopRequested_; });
    const bool stop = stopRequested_;
    lock.unlock();
    observer.OnPaused(false);
    return stop;
}

}  // namespace arkivo::engine

#include "schedule/auto_detect_worker.h"

namespace arkivo::schedule {

AutoDetectWorker::AutoDetectWorker(std::filesystem::path dataFolder, engine::RunController* ownRun)
    : dataFolder_(std::move(dataFolder)), ownRun_(ownRun) {}

AutoDetectWorker::~AutoDetectWorker() {
    Cancel();
    Wait();
}

bool AutoDetectWorker::Start(Ended ended) {
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true)) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();  // the previous pass has ended: its thread only has to be reaped
    }
    bool firstPass = false;
    {
        std::lock_guard lock(mutex_);
        cancelled_ = false;
        firstPass = firstPass_;
    }
    thread_ = std::thread([this, firstPass, ended = std::move(ended)] {
        PassWatch watch(dataFolder_, ownRun_);
        {
            std::lock_guard lock(mutex_);
            watch_ = &watch;
            if (cancelled_) {
                watch.Cancel();
            }
        }
        const PassOutcome outcome = RunAutoDetectPass(dataFolder_, watch, firstPass);
        {
            std::lock_guard lock(mutex_);
            watch_ = nullptr;
            if (!outcome.anotherPass) {
                firstPass_ = false;
            }
        }
        if (ended) {
            ended(outcome);
        }
        busy_ = false;
    });
    return true;
}

void AutoDetectWorker::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (watch_ != nullptr) {
        watch_->Cancel();
    }
}

void AutoDetectWorker::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace arkivo::schedule

#include "settings/run_lock.h"

#include <chrono>
#include <thread>

namespace arkivo {

namespace {

// Far longer than a look holds the lock, far shorter than anyone waits for a refusal.
constexpr auto kBriefPatience = std::chrono::seconds(1);
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

}  // namespace

RunLock::RunLock(const std::filesystem::path& dataFolder, RunLockPatience patience) {
    const auto path = dataFolder / kRunLockFile;
    const auto giveUp = std::chrono::steady_clock::now() + kBriefPatience;
    for (;;) {
        const auto error = lock_.Lock(path, platform::LockWait::NotAtAll);
        refused_ = error == std::errc::resource_unavailable_try_again;
        if (!refused_ || patience == RunLockPatience::None ||
            std::chrono::steady_clock::now() >= giveUp) {
            return;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

}  // namespace arkivo

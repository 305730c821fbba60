// The data folder's run lock: one backup run at a time, whoever starts it (the Windows
// program, `arkivo run`, the scheduler). It is held for the whole run; the system drops it
// when the running process ends, however it ends.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/file_lock.h"

namespace arkivo {

inline constexpr std::string_view kRunLockFile = "BackupRun.lock";

// A run waits a moment for the lock: an auto-detect pass takes it for an instant to learn
// whether a run is going, and a run starting in that instant must not be refused for it.
// Such a look itself never waits.
enum class RunLockPatience { Brief, None };

class RunLock {
  public:
    explicit RunLock(const std::filesystem::path& dataFolder,
                     RunLockPatience patience = RunLockPatience::Brief);

    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Another run holds the lock: this one must not start. A lock file that cannot be made
    // (a folder we may not write to) refuses nothing.
    bool Refused() const { return refused_; }

  private:
    platform::FileLock lock_;
    bool refused_ = false;
};

}  // namespace arkivo

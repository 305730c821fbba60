// An advisory exclusive lock on a lock file, seen by every process that locks the same file.
// The system drops it when its holder ends, however it ends, so a killed process never leaves
// a lock behind. Two holders in one process exclude each other as two processes do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>

namespace arkivo::platform {

enum class LockWait {
    UntilFree,  // block until the other holder lets go
    NotAtAll,   // give up at once when another holder has it
};

class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { Unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the lock file, creating it when missing, and takes the lock. With
    // LockWait::NotAtAll a lock held elsewhere gives std::errc::resource_unavailable_try_again.
    std::error_code Lock(const std::filesystem::path& file, LockWait wait);
    void Unlock();

    bool Held() const { return handle_ != kNoHandle; }

  private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;  // a file descriptor, or a HANDLE on Windows
};

}  // namespace arkivo::platform

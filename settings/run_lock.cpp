#include "settings/run_lock.h"

namespace arkivo {

RunLock::RunLock(const std::filesystem::path& dataFolder) {
    const auto error = lock_.Lock(dataFolder / kRunLockFile, platform::LockWait::NotAtAll);
    refused_ = error == std::errc::resource_unavailable_try_again;
}

}  // namespace arkivo

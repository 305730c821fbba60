#include "settings/data_folder_lock.h"

#include <map>
#include <mutex>

#include "platform/file_lock.h"
#include "settings/files_together.h"

namespace arkivo {
namespace {

struct Holding {
    std::size_t count = 0;
    platform::FileLock file;
};

// One mutex for every folder: holders of different folders rarely meet, and a single order
// of locking cannot deadlock.
std::recursive_mutex& ProcessLock() {
    static std::recursive_mutex lock;
    return lock;
}

std::map<std::filesystem::path, Holding>& Holdings() {
    static std::map<std::filesystem::path, Holding> holdings;
    return holdings;
}

// One spelling per folder, so that two names of it never take the lock file twice: a second
// lock of the same file would wait for the first forever.
std::filesystem::path FolderKey(const std::filesystem::path& folder) {
    std::error_code error;
    auto key = std::filesystem::weakly_canonical(folder.empty() ? "." : folder, error);
    if (error) {
        key = std::filesystem::absolute(folder, error).lexically_normal();
    }
    if (!key.has_filename() && key.has_relative_path()) {
        key = key.parent_path();
    }
    return key;
}

}  // namespace

DataFolderLock::DataFolderLock(const std::filesystem::path& folder) {
    std::unique_lock guard(ProcessLock());
    folder_ = FolderKey(folder);
    Holding& holding = Holdings()[folder_];
    if (holding.count == 0) {
        // Whoever held the lock before may have died within a change of several files.
        if (!holding.file.Lock(folder_ / kDataFolderLockFile, platform::LockWait::UntilFree)) {
            CompletePendingRenames(folder_);
        }
    }
    ++holding.count;
    guard.release();
}

DataFolderLock::~DataFolderLock() {
    auto& holdings = Holdings();
    const auto found = holdings.find(folder_);
    if (--found->second.count == 0) {
        holdings.erase(found);
    }
    ProcessLock().unlock();
}

}  // namespace arkivo

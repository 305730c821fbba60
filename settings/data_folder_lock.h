// The data folder's writer lock: one change at a time across every process that shares the
// folder (the Windows program, `arkivo` commands, the scheduler).
//
// A change holds it from reading a file to its last write, so no process saves over what
// another one wrote meanwhile. Within a process it is recursive, as an operation may consult
// the files again through a second object while several threads use them: the first holder
// takes the lock file and the last one to let go releases it. The first holder also finishes
// a change of several files that a killed process left half done (settings/files_together.h).
//
// When the lock file cannot be made (a folder we may not write to), the holder is still alone
// among the threads of its process, and its writes fail on their own.
#pragma once

#include <filesystem>
#include <string_view>

namespace arkivo {

inline constexpr std::string_view kDataFolderLockFile = "DataFolder.lock";

class DataFolderLock {
  public:
    explicit DataFolderLock(const std::filesystem::path& folder);
    ~DataFolderLock();

    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

  private:
    std::filesystem::path folder_;
};

}  // namespace arkivo

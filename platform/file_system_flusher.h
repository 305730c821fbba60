// Puts what a run writes to a file system on stable storage while the run goes on, so that the
// flush the run ends with finds little left to write: the disk writes while the run copies
// instead of after it.
#pragma once

#include <filesystem>
#include <memory>
#include <system_error>

namespace arkivo::platform {

class FileSystemFlusher {
  public:
    FileSystemFlusher();
    ~FileSystemFlusher();
    FileSystemFlusher(const FileSystemFlusher&) = delete;
    FileSystemFlusher& operator=(const FileSystemFlusher&) = delete;

    // Starts flushing the file system holding `path` (or, when it is not made yet, its parent)
    // in the background; once started, starting again changes nothing.
    std::error_code Start(const std::filesystem::path& path);

    // Stops the background flushes, flushes the rest and reports the first write the system
    // failed to put on disk since Start, the ones it failed in the background included.
    // Without Start, flushes the file system holding `path`.
    std::error_code Finish(const std::filesystem::path& path);

  private:
    struct Flushing;
    std::unique_ptr<Flushing> flushing_;
};

}  // namespace arkivo::platform

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

    // Holds the file system holding `path` (or, when it is not made yet, its parent), so that
    // Finish reports every write the system fails to put on disk from now on; watching again
    // changes nothing.
    std::error_code Watch(const std::filesystem::path& path);

    // Begins flushing the watched file system in the background. Without Watch, or once
    // started, it changes nothing.
    void Start();

    // Stops the background flushes, flushes the rest and reports the first write the system
    // failed to put on disk since Watch, the ones it failed in the background included.
    // Without Watch, flushes the file system holding `path`.
    std::error_code Finish(const std::filesystem::path& path);

  private:
    struct Flushing;
    std::unique_ptr<Flushing> flushing_;
};

}  // namespace arkivo::platform

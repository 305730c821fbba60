#include "platform/file_system_flusher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/posix/file_descriptor.h"

namespace arkivo::platform {

namespace {

// Often enough that little is left for the end, seldom enough that a flush has a batch to write.
constexpr std::chrono::milliseconds kInterval{100};

std::error_code LastError() {
    return {errno, std::generic_category()};
}

int OpenFileSystem(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT || !path.has_parent_path()) {
        return fd;
    }
    return ::open(path.parent_path().c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

// A flush reports the writes that failed since its descriptor was opened, each once per
// descriptor: one descriptor opened when the run starts sees every failure of the run, and what
// a background flush meets is kept for the last flush to report.
struct FileSystemFlusher::Flushing {
    explicit Flushing(int fd) : fileSystem(fd) {}

    void Run() {
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, kInterval, [this] { return stopping; })) {
            lock.unlock();
            const bool flushed = ::syncfs(fileSystem.get()) == 0;
            const int error = errno;
            lock.lock();
            if (!flushed && !firstError) {
                firstError = {error, std::generic_category()};
            }
        }
    }

    void Stop() {
        if (!thread.joinable()) {
            return;
        }
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }

    posix::FileDescriptor fileSystem;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::error_code firstError;
    std::thread thread;
};

FileSystemFlusher::FileSystemFlusher() = default;

FileSystemFlusher::~FileSystemFlusher() {
    if (flushing_) {
        flushing_->Stop();
    }
}

std::error_code FileSystemFlusher::Watch(const std::filesystem::path& path) {
    if (flushing_) {
        return {};
    }
    const int fd = OpenFileSystem(path);
    if (fd < 0) {
        return LastError();
    }
    flushing_ = std::make_unique<Flushing>(fd);
    return {};
}

void FileSystemFlusher::Start() {
    if (!flushing_ || flushing_->thread.joinable()) {
        return;
    }
    try {
        flushing_->thread = std::thread([flushing = flushing_.get()] { flushing->Run(); });
    } catch (const std::system_error&) {
        // Without a thread the run flushes everything at its end, as it would anyway.
    }
}

std::error_code FileSystemFlusher::Finish(const std::filesystem::path& path) {
    // Unwatched, the flush reports what fails from here on.
    if (auto error = Watch(path)) {
        return error;
    }
    flushing_->Stop();
    auto fileSystem = std::move(flushing_);
    if (::syncfs(fileSystem->fileSystem.get()) != 0 && !fileSystem->firstError) {
        return LastError();
    }
    return fileSystem->firstError;
}

}  // namespace arkivo::platform

#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace arkivo::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

int OpenLockFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file someone else created may be ours to read only; flock needs no more.
    return fd >= 0 ? fd : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

// flock rather than fcntl: an fcntl lock vanishes when the process closes any descriptor of
// the file, which reading the file for another purpose would do.
std::error_code FileLock::Lock(const std::filesystem::path& file, LockWait wait) {
    Unlock();
    const int fd = OpenLockFile(file);
    if (fd < 0) {
        return LastError();
    }
    const int operation = LOCK_EX | (wait == LockWait::NotAtAll ? LOCK_NB : 0);
    while (::flock(fd, operation) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const auto error = errno == EWOULDBLOCK
                               ? std::make_error_code(std::errc::resource_unavailable_try_again)
                               : LastError();
        ::close(fd);
        return error;
    }
    handle_ = fd;
    return {};
}

void FileLock::Unlock() {
    if (Held()) {
        ::close(static_cast<int>(handle_));
        handle_ = kNoHandle;
    }
}

}  // namespace arkivo::platform

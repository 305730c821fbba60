#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/open_file_info.h"

namespace arkivo::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

}  // namespace

FileHandle::~FileHandle() {
    Close();
}

std::error_code FileHandle::OpenForReading(const std::filesystem::path& path) {
    Close();
    // Without O_NONBLOCK a fifo would keep the open waiting for a writer; a regular file reads
    // the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return LastError();
    }
    native_ = fd;
    path_ = path;
    return {};
}

std::error_code FileHandle::CreateOwnerOnly(const std::filesystem::path& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return LastError();
    }
    native_ = fd;
    path_ = path;
    // An older file of that name keeps its own mode through O_CREAT.
    if (::fchmod(fd, 0600) != 0) {
        const auto error = LastError();
        Close();
        ::unlink(path.c_str());
        return error;
    }
    return {};
}

std::error_code FileHandle::GetInfo(FileInfo& info) const {
    return posix::GetOpenFileInfo(static_cast<int>(native_), path_, info);
}

std::error_code FileHandle::Read(std::span<std::uint8_t> buffer, std::size_t& count) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(native_), buffer.data(), buffer.size());
        if (n >= 0) {
            count = static_cast<std::size_t>(n);
            return {};
        }
        if (errno != EINTR) {
            return LastError();
        }
    }
}

std::error_code FileHandle::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(static_cast<int>(native_), bytes.data(), bytes.size(),
                                   static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? LastError() : std::make_error_code(std::errc::io_error);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return {};
}

std::error_code FileHandle::Resize(std::uint64_t size) {
    return ::ftruncate(static_cast<int>(native_), static_cast<off_t>(size)) == 0 ? std::error_code()
                                                                                 : LastError();
}

std::error_code FileHandle::Flush() {
    return ::fsync(static_cast<int>(native_)) == 0 ? std::error_code() : LastError();
}

std::error_code FileHandle::Close() {
    if (native_ == kNone) {
        return {};
    }
    const int fd = static_cast<int>(native_);
    native_ = kNone;
    return ::close(fd) == 0 ? std::error_code() : LastError();
}

}  // namespace arkivo::platform

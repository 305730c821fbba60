#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_descriptor.h"

namespace arkivo::platform {
namespace {

using posix::FileDescriptor;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

}  // namespace

std::error_code FlushFolder(const std::filesystem::path& folder) {
    FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        return LastError();
    }
    return ::fsync(dir.get()) == 0 ? std::error_code() : LastError();
}

std::error_code ReadFileContents(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return LastError();
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::error_code WriteTemporaryFor(const std::filesystem::path& path, std::string_view bytes,
                                  FilePrivacy privacy, std::filesystem::path& temporary) {
    mode_t mode = 0666;
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (privacy == FilePrivacy::OwnerOnly) {
        mode = 0600;
    } else if (exists) {
        mode = existing.st_mode & 07777;
    }
    const std::filesystem::path temp = TemporaryPathIn(path.parent_path());
    FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (fd.get() < 0) {
        return LastError();
    }
    // The creation mode passed through the umask; an existing file's own mode is kept whole.
    if ((privacy == FilePrivacy::OwnerOnly || exists) && ::fchmod(fd.get(), mode) != 0) {
        const auto error = LastError();
        ::unlink(temp.c_str());
        return error;
    }
    if (auto error = WriteAll(fd.get(), bytes)) {
        ::unlink(temp.c_str());
        return error;
    }
    if (::fsync(fd.get()) != 0 || !fd.Close()) {
        const auto error = LastError();
        ::unlink(temp.c_str());
        return error;
    }
    temporary = temp;
    return {};
}

std::error_code RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return LastError();
    }
    FlushFolder(to.parent_path());
    return {};
}

}  // namespace arkivo::platform

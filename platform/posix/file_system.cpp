#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "common/shown_text.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/open_file_info.h"

namespace arkivo::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

FileTime ToFileTime(const struct statx_timestamp& t) {
    return static_cast<FileTime>(t.tv_sec) * kFileTimeUnitsPerSecond + kFileTimeUnixEpoch +
           t.tv_nsec / 100;
}

constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;

FileInfo ToInfo(const struct statx& st, const char* name) {
    FileInfo info;
    const bool folder = S_ISDIR(st.stx_mode);
    info.attributes = folder ? Attribute::Directory : Attribute::Archive;
    if ((st.stx_mode & S_IWUSR) == 0) {
        info.attributes |= Attribute::ReadOnly;
    }
    if (name[0] == '.') {
        info.attributes |= Attribute::Hidden;
    }
    info.size = folder ? 0 : st.stx_size;
    info.lastWriteTime = ToFileTime(st.stx_mtime);
    info.lastAccessTime = ToFileTime(st.stx_atime);
    info.creationTime =
        (st.stx_mask & STATX_BTIME) ? ToFileTime(st.stx_btime) : ToFileTime(st.stx_ctime);
    info.posixMode = st.stx_mode;
    return info;
}

// Facts of an entry, following a link to learn what it points to. False for a broken link.
// Anything that is neither a file nor a folder (sockets, devices, fifos) is marked special.
bool StatEntry(int dirFd, const char* name, FileInfo& info, std::error_code& error) {
    struct statx st {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW, kStatxMask, &st) != 0) {
        error = LastError();
        return false;
    }
    bool link = false;
    if (S_ISLNK(st.stx_mode)) {
        link = true;
        if (::statx(dirFd, name, 0, kStatxMask, &st) != 0) {
            error = LastError();
            return false;
        }
    }
    info = ToInfo(st, name);
    info.folderLink = link && S_ISDIR(st.stx_mode);
    if (!S_ISDIR(st.stx_mode) && !S_ISREG(st.stx_mode)) {
        info.special = true;
        info.size = 0;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

using Fd = posix::FileDescriptor;

// Copies exactly `size` bytes, the size the source had when it was opened: a file that is
// appended to meanwhile must not be copied on until the disk fills. `copied` tells how many
// bytes there were, fewer when the source shrank.
std::error_code CopyContents(int in, int out, std::uint64_t size, std::uint64_t& copied,
                             const CopyProgress& progress) {
    // Pieces small enough to tell progress on a large file, large enough to cost nothing.
    constexpr std::uint64_t kKernelPiece = std::uint64_t{16} << 20;
    copied = 0;
    while (copied < size) {
        const ssize_t n =
            ::copy_file_range(in, nullptr, out, nullptr, std::min(kKernelPiece, size - copied), 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                break;  // no kernel copy between these files: read and write below
            }
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        copied += static_cast<std::uint64_t>(n);
        if (progress) {
            progress(copied);
        }
    }
    // Sized to the file and left unfilled: most files are small, and clearing a megabyte for
    // each of them cost more than copying them between two disks.
    constexpr std::uint64_t kPiece = 1 << 20;
    std::unique_ptr<char[]> buffer;
    while (copied < size) {
        if (!buffer) {
            buffer = std::make_unique_for_overwrite<char[]>(std::min(kPiece, size - copied));
        }
        const ssize_t n = ::read(in, buffer.get(), std::min(kPiece, size - copied));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w =
                ::write(out, buffer.get() + written, static_cast<std::size_t>(n - written));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w < 0) {
                return LastError();
            }
            written += w;
        }
        copied += static_cast<std::uint64_t>(n);
        if (progress) {
            progress(copied);
        }
    }
    return {};
}

bool SameVersion(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

// Writes the source's bytes, permissions and times into out. A source that changed while it
// was read is no version of its own: SourceChanged.
std::error_code WriteCopy(int in, const struct stat& st, int out, const CopyProgress& progress) {
    std::uint64_t copied = 0;
    if (auto error =
            CopyContents(in, out, static_cast<std::uint64_t>(st.st_size), copied, progress)) {
        return error;
    }
    struct stat after {};
    if (::fstat(in, &after) != 0) {
        return LastError();
    }
    // A file holding more than its size said (one being written, or one of /proc) is no
    // version of its own either.
    char beyond = 0;
    if (copied != static_cast<std::uint64_t>(st.st_size) || !SameVersion(st, after) ||
        ::pread(in, &beyond, 1, st.st_size) != 0) {
        return CopyError::SourceChanged;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(out, st.st_mode & 07777) != 0 || ::futimens(out, times) != 0) {
        return LastError();
    }
    return {};
}

// A file without a name in folder (O_TMPFILE), or -1 where the file system or the system has
// none: a copy written there only takes a name once whole, and a run killed before that leaves
// nothing behind. Naming it needs /proc.
int OpenUnnamedIn(const std::filesystem::path& folder) {
    static const bool canName = ::access("/proc/self/fd", X_OK) == 0;
    if (!canName) {
        return -1;
    }
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

std::error_code Link(const Fd& unnamed, const std::filesystem::path& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(unnamed.get());
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
               ? std::error_code()
               : LastError();
}

// Gives a whole copy its name. Where the name is taken (an earlier version), the copy is
// named beside it and moved over it, so the earlier version stays whole until then.
std::error_code NameUnnamed(Fd& unnamed, const std::filesystem::path& target) {
    auto error = Link(unnamed, target);
    if (!error) {
        if (!unnamed.Close()) {
            error = LastError();
            ::unlink(target.c_str());
        }
        return error;
    }
    if (error != std::errc::file_exists) {
        return error;
    }
    const std::filesystem::path temp = TemporaryPathIn(target.parent_path());
    if (auto linked = Link(unnamed, temp)) {
        return linked;
    }
    if (!unnamed.Close() || ::rename(temp.c_str(), target.c_str()) != 0) {
        error = LastError();
        ::unlink(temp.c_str());
        return error;
    }
    return {};
}

}  // namespace

std::error_code ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                           ListDetail detail) {
    entries.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return LastError();
    }
    const int fd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                return LastError();
            }
            return {};
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        FolderEntry item;
        std::error_code ignored;
        if (detail == ListDetail::KindsOnly && entry->d_type != DT_UNKNOWN &&
            entry->d_type != DT_LNK) {
            item.name = name;
            item.info.attributes =
                entry->d_type == DT_DIR ? Attribute::Directory : Attribute::Archive;
            item.info.special = entry->d_type != DT_DIR && entry->d_type != DT_REG;
            entries.push_back(std::move(item));
        } else if (StatEntry(fd, name, item.info, ignored)) {
            item.name = name;
            entries.push_back(std::move(item));
        }
    }
}

std::u16string FileNameKey(const std::filesystem::path& name) {
    return Utf8ToUtf16(name.native());
}

std::u16string PathText(const std::filesystem::path& path) {
    return Utf8ToUtf16(path.native());
}

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(Utf16ToUtf8(text));
}

std::u16string ShownPathText(const std::filesystem::path& path) {
    return Utf8ToUtf16(EscapedForDisplay(path.native()));
}

std::error_code GetFileInfo(const std::filesystem::path& path, FileInfo& info) {
    std::error_code error;
    const auto name = path.filename();
    if (!StatEntry(AT_FDCWD, path.c_str(), info, error)) {
        return error;
    }
    if (info.special) {
        return std::make_error_code(std::errc::not_supported);
    }
    // Hidden comes from the bare name, not the whole path.
    info.attributes &= ~Attribute::Hidden;
    if (!name.empty() && name.native()[0] == '.') {
        info.attributes |= Attribute::Hidden;
    }
    return {};
}

bool Exists(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::error_code CopyFileAtomically(const std::filesystem::path& source,
                                   const std::filesystem::path& target,
                                   const CopyProgress& progress) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return LastError();
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return std::make_error_code(std::errc::not_supported);
    }
    const std::filesystem::path folder = target.parent_path();
    Fd unnamed(OpenUnnamedIn(folder));
    if (unnamed.get() >= 0) {
        if (auto error = WriteCopy(in.get(), st, unnamed.get(), progress)) {
            return error;
        }
        return NameUnnamed(unnamed, target);
    }
    const std::filesystem::path temp = TemporaryPathIn(folder);
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0) {
        return LastError();
    }
    auto fail = [&temp](std::error_code error) {
        ::unlink(temp.c_str());
        return error;
    };
    if (auto error = WriteCopy(in.get(), st, out.get(), progress)) {
        return fail(error);
    }
    if (!out.Close()) {
        return fail(LastError());
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        return fail(LastError());
    }
    return {};
}

std::error_code MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code CreateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) {
        return {};
    }
    const auto error = LastError();
    struct stat st {};
    if (error.value() == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return {};
    }
    return error;
}

std::error_code CreateFolderLike(const std::filesystem::path& folder, const FileInfo& source) {
    if (source.posixMode == 0) {
        return CreateFolder(folder);
    }
    // Made private first: the final bits are set once the umask can no longer widen them. A
    // folder that exists keeps the bits its owner gave it.
    if (::mkdir(folder.c_str(), S_IRWXU) != 0) {
        return CreateFolder(folder);
    }
    const mode_t mode = static_cast<mode_t>(source.posixMode & 07777) | S_IRWXU;
    if (mode != S_IRWXU) {
        // A file system without POSIX permissions refuses; the folder is usable all the same.
        ::chmod(folder.c_str(), mode);
    }
    return {};
}

std::error_code CheckCanCreateFilesIn(const std::filesystem::path& folder) {
    // An unnamed file adds no entry to the folder, so a run with nothing to copy changes
    // nothing in its target.
    if (Fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)).get() >= 0) {
        return {};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return LastError();
    }
    const auto probe = TemporaryPathIn(folder);
    Fd named(::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (named.get() < 0) {
        return LastError();
    }
    return ::unlink(probe.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RemoveFolder(const std::filesystem::path& folder) {
    return ::rmdir(folder.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RemoveFile(const std::filesystem::path& file) {
    return ::unlink(file.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RemoveFolderLink(const std::filesystem::path& link) {
    return RemoveFile(link);
}

std::error_code MakeWritable(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return LastError();
    }
    if (S_ISLNK(st.st_mode) || (st.st_mode & S_IWUSR)) {
        return {};
    }
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0 ? std::error_code()
                                                                      : LastError();
}

namespace posix {

std::error_code GetOpenFileInfo(int fd, const std::filesystem::path& path, FileInfo& info) {
    struct statx st {};
    if (::statx(fd, "", AT_EMPTY_PATH, kStatxMask, &st) != 0) {
        return LastError();
    }
    if (!S_ISDIR(st.stx_mode) && !S_ISREG(st.stx_mode)) {
        return std::make_error_code(std::errc::not_supported);
    }
    info = ToInfo(st, path.filename().c_str());
    return {};
}

}  // namespace posix

}  // namespace arkivo::platform

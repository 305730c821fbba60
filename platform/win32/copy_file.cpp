// The copy of one file on Windows. It reads the size the source had when it was opened, as the
// POSIX copy does; the system's CopyFile would copy on while another program appends.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/win32/handle.h"
#include "platform/win32/long_path.h"

namespace arkivo::platform {
namespace {

using win32::Handle;
using win32::LongPath;

constexpr DWORD kPiece = 1 << 20;

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

std::uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

std::error_code CopyContents(HANDLE in, HANDLE out, std::uint64_t size,
                             const CopyProgress& progress) {
    // Sized to the file and left unfilled: most files are small, and clearing a megabyte for
    // each of them costs more than copying them.
    auto buffer = std::make_unique_for_overwrite<char[]>(
        static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, size)));
    for (std::uint64_t copied = 0; copied < size;) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(kPiece, size - copied));
        if (!::ReadFile(in, buffer.get(), want, &read, nullptr)) {
            return LastError();
        }
        if (read == 0) {
            return CopyError::SourceChanged;  // it shrank while it was read
        }
        DWORD written = 0;
        if (!::WriteFile(out, buffer.get(), read, &written, nullptr) || written != read) {
            return LastError();
        }
        copied += read;
        if (progress) {
            progress(copied);
        }
    }
    return {};
}

}  // namespace

std::error_code CopyFileAtomically(const std::filesystem::path& source,
                                   const std::filesystem::path& target,
                                   const CopyProgress& progress) {
    Handle in(::CreateFileW(LongPath(source).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION before{};
    if (!in.valid() || !::GetFileInformationByHandle(in.get(), &before)) {
        return LastError();
    }
    if (before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    const std::wstring tempPath = LongPath(TemporaryPathIn(target.parent_path()));
    Handle out(::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!out.valid()) {
        return LastError();
    }
    auto fail = [&](std::error_code error) {
        out.Close();
        ::DeleteFileW(tempPath.c_str());
        return error;
    };
    if (auto error = CopyContents(in.get(), out.get(), SizeOf(before), progress)) {
        return fail(error);
    }
    BY_HANDLE_FILE_INFORMATION after{};
    if (!::GetFileInformationByHandle(in.get(), &after)) {
        return fail(LastError());
    }
    // A file holding more than its size said is no version of its own either.
    char beyond = 0;
    DWORD extra = 0;
    if (SizeOf(after) != SizeOf(before) ||
        (::ReadFile(in.get(), &beyond, 1, &extra, nullptr) && extra != 0) ||
        ::CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime) != 0) {
        return fail(CopyError::SourceChanged);
    }
    if (!::SetFileTime(out.get(), &before.ftCreationTime, &before.ftLastAccessTime,
                       &before.ftLastWriteTime) ||
        !out.Close()) {
        return fail(LastError());
    }
    // The copy carries the source's attributes (read-only among them) once it is complete.
    ::SetFileAttributesW(tempPath.c_str(), before.dwFileAttributes &
                                               (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    if (auto error = MoveReplacing(tempPath, target)) {
        ::SetFileAttributesW(tempPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(tempPath.c_str());
        return error;
    }
    return {};
}

}  // namespace arkivo::platform

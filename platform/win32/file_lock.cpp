#include "platform/file_lock.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace arkivo::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenLockFile(const std::filesystem::path& file) {
    const std::wstring name = win32::LongPath(file);
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A lock file someone else created may be ours to read only; the lock needs no more.
        handle = ::CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return handle;
}

}  // namespace

std::error_code FileLock::Lock(const std::filesystem::path& file, LockWait wait) {
    Unlock();
    HANDLE handle = OpenLockFile(file);
    if (handle == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    OVERLAPPED whole{};
    const DWORD flags =
        LOCKFILE_EXCLUSIVE_LOCK | (wait == LockWait::NotAtAll ? LOCKFILE_FAIL_IMMEDIATELY : 0);
    if (!::LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        const DWORD code = ::GetLastError();
        ::CloseHandle(handle);
        if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) {
            return std::make_error_code(std::errc::resource_unavailable_try_again);
        }
        return {static_cast<int>(code), std::system_category()};
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return {};
}

void FileLock::Unlock() {
    if (Held()) {
        // Closing the last handle releases the lock too; unlocking first makes it immediate.
        HANDLE handle = reinterpret_cast<HANDLE>(handle_);
        OVERLAPPED whole{};
        ::UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
        ::CloseHandle(handle);
        handle_ = kNoHandle;
    }
}

}  // namespace arkivo::platform

#include "platform/file_handle.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/file_info.h"
#include "platform/win32/long_path.h"

namespace arkivo::platform {
namespace {

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

HANDLE AsHandle(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

OVERLAPPED AtOffset(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Pieces of at most 1 GiB: the calls take 32-bit counts.
constexpr std::size_t kLargestPiece = std::size_t{1} << 30;

}  // namespace

FileHandle::~FileHandle() {
    Close();
}

std::error_code FileHandle::OpenForReading(const std::filesystem::path& path) {
    Close();
    const HANDLE h = ::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    native_ = reinterpret_cast<std::intptr_t>(h);
    path_ = path;
    return {};
}

std::error_code FileHandle::CreateOwnerOnly(const std::filesystem::path& path) {
    Close();
    // The folder's own permissions decide who else may read it, as for every file there.
    const HANDLE h =
        ::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    native_ = reinterpret_cast<std::intptr_t>(h);
    path_ = path;
    return {};
}

std::error_code FileHandle::GetInfo(FileInfo& info) const {
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(AsHandle(native_), &data)) {
        return LastError();
    }
    info = win32::ToInfo(data);
    return {};
}

std::error_code FileHandle::Read(std::span<std::uint8_t> buffer, std::size_t& count) {
    DWORD n = 0;
    const DWORD wanted = static_cast<DWORD>(std::min(buffer.size(), kLargestPiece));
    if (!::ReadFile(AsHandle(native_), buffer.data(), wanted, &n, nullptr)) {
        return LastError();
    }
    count = n;
    return {};
}

std::error_code FileHandle::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        OVERLAPPED at = AtOffset(offset);
        DWORD n = 0;
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
        if (!::WriteFile(AsHandle(native_), bytes.data(), piece, &n, &at)) {
            return LastError();
        }
        if (n == 0) {
            return std::make_error_code(std::errc::io_error);
        }
        bytes = bytes.subspan(n);
        offset += n;
    }
    return {};
}

std::error_code FileHandle::Resize(std::uint64_t size) {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(AsHandle(native_), end, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(AsHandle(native_))) {
        return LastError();
    }
    return {};
}

std::error_code FileHandle::Flush() {
    return ::FlushFileBuffers(AsHandle(native_)) ? std::error_code() : LastError();
}

std::error_code FileHandle::Close() {
    if (native_ == kNone) {
        return {};
    }
    const HANDLE h = AsHandle(native_);
    native_ = kNone;
    return ::CloseHandle(h) ? std::error_code() : LastError();
}

}  // namespace arkivo::platform

#include "platform/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/handle.h"

namespace arkivo::platform {
namespace {

using win32::Handle;

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

}  // namespace

std::error_code FlushFolder(const std::filesystem::path&) {
    return {};
}

std::error_code ReadFileContents(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return std::make_error_code(std::errc::no_such_file_or_directory);
        }
        return {static_cast<int>(code), std::system_category()};
    }
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            return LastError();
        }
        if (read == 0) {
            return {};
        }
        bytes.append(buffer, read);
    }
}

// The profile folder already keeps other users out; no extra ACL is set for OwnerOnly.
std::error_code WriteTemporaryFor(const std::filesystem::path& path, std::string_view bytes,
                                  FilePrivacy, std::filesystem::path& temporary) {
    const std::filesystem::path temp = TemporaryPathIn(path.parent_path());
    Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return LastError();
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            const auto error = LastError();
            file.Close();
            ::DeleteFileW(temp.c_str());
            return error;
        }
        bytes.remove_prefix(written);
    }
    if (!::FlushFileBuffers(file.get()) || !file.Close()) {
        const auto error = LastError();
        ::DeleteFileW(temp.c_str());
        return error;
    }
    temporary = temp;
    return {};
}

std::error_code RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    return {};
}

}  // namespace arkivo::platform

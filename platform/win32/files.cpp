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

std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                    FilePrivacy) {
    // The profile folder already keeps other users out; no extra ACL is set for OwnerOnly.
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
    if (!::MoveFileExW(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const auto error = LastError();
        ::DeleteFileW(temp.c_str());
        return error;
    }
    return {};
}

}  // namespace arkivo::platform

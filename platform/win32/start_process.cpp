#include "platform/start_process.h"

#include <windows.h>

#include "platform/win32/long_path.h"

namespace arkivo::platform {

std::error_code StartHiddenProcess(const std::filesystem::path& executable) {
    const std::wstring path = win32::LongPath(executable);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return {};
}

}  // namespace arkivo::platform

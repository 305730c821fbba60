#include "platform/single_instance.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace arkivo::platform {

SingleInstance::SingleInstance(std::u16string_view name) {
    const std::wstring mutexName = win32::Wide(name);
    handle_ = ::CreateMutexW(nullptr, TRUE, mutexName.c_str());
    first_ = handle_ != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
    if (handle_ != nullptr) {
        if (first_) {
            ::ReleaseMutex(handle_);
        }
        ::CloseHandle(handle_);
    }
}

}  // namespace arkivo::platform

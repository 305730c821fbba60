// An open Windows handle, closed when it goes out of scope.
#pragma once

#include <windows.h>

namespace arkivo::platform::win32 {

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

    // Closes now, reporting whether the close (and so the last writes) succeeded.
    bool Close() {
        const bool ok = !valid() || ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

}  // namespace arkivo::platform::win32

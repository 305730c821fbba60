// A WinINet handle (session, connection or find), closed when it goes out of scope.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace arkivo::platform::win32 {

class InternetHandle {
  public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle() { Close(); }
    InternetHandle(InternetHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    InternetHandle& operator=(InternetHandle&& other) noexcept {
        if (this != &other) {
            Close();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

    void Close() {
        if (h_ != nullptr) {
            ::InternetCloseHandle(h_);
            h_ = nullptr;
        }
    }

  private:
    HINTERNET h_ = nullptr;
};

}  // namespace arkivo::platform::win32

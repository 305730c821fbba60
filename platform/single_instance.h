// A named, owned lock that tells whether another copy of the program runs in this logon.
#pragma once

#include <string_view>

namespace arkivo::platform {

class SingleInstance {
  public:
    explicit SingleInstance(std::u16string_view name);
    ~SingleInstance();

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when the lock already existed: another copy holds it.
    bool IsFirst() const { return first_; }

  private:
    void* handle_ = nullptr;
    bool first_ = false;
};

}  // namespace arkivo::platform

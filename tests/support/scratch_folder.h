// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "platform/clock.h"

namespace arkivo::test {

class ScratchFolder {
  public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        const auto stamp = std::to_string(platform::NowUnixSeconds()) + "-" +
                           std::to_string(counter++) + "-" + std::to_string(std::random_device{}());
        path_ = std::filesystem::temp_directory_path() / ("arkivo-test-" + stamp);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace arkivo::test

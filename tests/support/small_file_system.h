// A small file system (1 MiB unless told) mounted on a folder for the scope of the object, when the system
// allows it (root, without a sandbox that forbids mounting). Linux only.
#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <string>

namespace arkivo::test {

class SmallFileSystem {
  public:
    enum class Access { ReadWrite, ReadOnly };

    explicit SmallFileSystem(std::filesystem::path folder, Access access = Access::ReadWrite,
                             const std::string& size = "1m")
        : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        const unsigned long flags = access == Access::ReadOnly ? MS_RDONLY : 0;
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", flags, ("size=" + size).c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) {
            ::umount(folder_.c_str());
        }
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

}  // namespace arkivo::test

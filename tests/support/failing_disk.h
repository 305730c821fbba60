// A disk that fails writes after the system has accepted them, as a dying disk or a thin
// volume out of room does: an ext4 file system on a loop device whose sparse image lives on a
// tmpfs far smaller than the image. Writes land in the page cache and succeed; when the system
// writes them back, the image's tmpfs is full and the device reports the failure. Needs root,
// loop devices, losetup and mkfs.ext4; Linux only.
#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <string>

#include "support/run_program.h"
#include "support/small_file_system.h"

namespace arkivo::test {

class FailingDisk {
  public:
    // Room the disk really has, and the size its file system believes it has.
    static constexpr const char* kRealRoom = "24m";
    static constexpr const char* kClaimedSize = "512M";

    explicit FailingDisk(const std::filesystem::path& folder)
        : backing_(folder / "backing", SmallFileSystem::Access::ReadWrite, kRealRoom),
          root_(folder / "disk") {
        if (!backing_.mounted()) {
            return;
        }
        const auto image = folder / "backing" / "disk.img";
        const auto run = [&folder](const char* program, std::vector<std::string> arguments) {
            return RunProgram(program, arguments, {}, folder);
        };
        // No journal: a failed journal write would turn the file system read-only, and the
        // writes would fail when made instead of after.
        if (run("/usr/bin/truncate", {"-s", kClaimedSize, image.string()}).exitCode != 0 ||
            run("/usr/sbin/mkfs.ext4",
                {"-q", "-O", "^has_journal", "-E", "lazy_itable_init=1,nodiscard", image.string()})
                    .exitCode != 0) {
            return;
        }
        const auto attached = run("/usr/sbin/losetup", {"--find", "--show", image.string()});
        if (attached.exitCode != 0) {
            return;
        }
        device_ = attached.out.substr(0, attached.out.find('\n'));
        std::filesystem::create_directories(root_);
        mounted_ = ::mount(device_.c_str(), root_.c_str(), "ext4", 0, "errors=continue") == 0;
    }
    ~FailingDisk() {
        if (mounted_) {
            ::umount2(root_.c_str(), MNT_DETACH);
        }
        if (!device_.empty()) {
            RunProgram("/usr/sbin/losetup", {"--detach", device_}, {}, "/");
        }
    }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::filesystem::path& root() const { return root_; }

  private:
    SmallFileSystem backing_;
    std::filesystem::path root_;
    std::string device_;
    bool mounted_ = false;
};

}  // namespace arkivo::test

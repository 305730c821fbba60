#include "engine/clock_probe.h"

#include <filesystem>

#include "engine/ftp_tree.h"
#include "platform/file_handle.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

// The local file sent as the probe, private to us and removed when done with.
class ProbeFile {
  public:
    ProbeFile() {
        std::error_code error;
        const fs::path folder = fs::temp_directory_path(error);
        if (error) {
            return;
        }
        path_ = platform::TemporaryPathIn(folder);
        platform::FileHandle file;
        if (!file.CreateOwnerOnly(path_)) {
            ready_ = true;
        }
    }
    ~ProbeFile() {
        if (ready_) {
            platform::RemoveFile(path_);
        }
    }
    ProbeFile(const ProbeFile&) = delete;
    ProbeFile& operator=(const ProbeFile&) = delete;

    bool ready() const { return ready_; }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
    bool ready_ = false;
};

}  // namespace

std::int64_t MeasureClockOffset(platform::FtpConnection& ftp, const std::u16string& folder,
                                std::int64_t now) {
    ProbeFile probe;
    if (!probe.ready()) {
        return 0;
    }
    // Named like our temporary files, so a walk that meets it passes it by.
    const std::u16string name = platform::PathText(probe.path().filename());
    const std::u16string remote = JoinRemote(folder, name);
    if (ftp.Put(probe.path(), remote)) {
        return 0;
    }
    platform::FtpListing listing;
    const auto listed = ftp.List(folder, listing);
    ftp.Delete(remote);
    if (listed) {
        return 0;
    }
    for (const auto& entry : listing.entries) {
        if (entry.name == name && entry.timePrecision != platform::FtpTimePrecision::None) {
            const std::int64_t offset = now - FileTimeToUnixSeconds(entry.lastWriteTime);
            return offset > 0 ? offset : 0;
        }
    }
    return 0;
}

}  // namespace arkivo::engine

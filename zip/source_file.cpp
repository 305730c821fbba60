#include "zip/source_file.h"

#include <algorithm>

namespace arkivo::zip {

std::error_code SourceFile::Open(const std::filesystem::path& path) {
    if (auto error = file_.OpenForReading(path)) {
        return error;
    }
    if (auto error = file_.GetInfo(info_)) {
        return error;
    }
    if (info_.IsFolder()) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    return {};
}

std::optional<std::size_t> SourceFile::Read(std::span<std::uint8_t> buffer) {
    // A file that is appended to while it is read would otherwise be read for as long as the
    // appending goes on.
    const std::uint64_t left = info_.size - read_;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left));
    std::size_t count = 0;
    if (wanted > 0) {
        error_ = file_.Read(buffer.first(wanted), count);
        if (error_) {
            return std::nullopt;
        }
    }
    read_ += count;
    return count;
}

SourceFile::Ending SourceFile::Finish() {
    // One byte past the size read: there is none unless the file grew.
    std::uint8_t beyond = 0;
    std::size_t count = 0;
    platform::FileInfo now;
    error_ = file_.Read({&beyond, 1}, count);
    if (!error_) {
        error_ = file_.GetInfo(now);
    }
    if (error_) {
        return Ending::ReadFailed;
    }
    const bool unchanged = count == 0 && read_ == info_.size && now.size == info_.size &&
                           now.lastWriteTime == info_.lastWriteTime;
    return unchanged ? Ending::Unchanged : Ending::Changed;
}

}  // namespace arkivo::zip

#include "zip/archive_file.h"

#include <algorithm>

namespace arkivo::zip {
namespace {

constexpr std::size_t kPendingCapacity = 1 << 18;

}  // namespace

ArchiveFile::ArchiveFile() {
    pending_.reserve(kPendingCapacity);
}

bool ArchiveFile::Succeeded(std::error_code error) {
    if (error) {
        error_ = error;
    }
    return !error;
}

bool ArchiveFile::Create(const std::filesystem::path& path) {
    path_ = path;
    return Succeeded(file_.CreateOwnerOnly(path));
}

bool ArchiveFile::WritePending() {
    if (pending_.empty()) {
        return true;
    }
    if (!Succeeded(file_.WriteAt(pendingStart_, pending_))) {
        return false;
    }
    pendingStart_ += pending_.size();
    pending_.clear();
    return true;
}

bool ArchiveFile::Append(std::span<const std::uint8_t> bytes) {
    if (pending_.size() + bytes.size() > kPendingCapacity && !WritePending()) {
        return false;
    }
    if (bytes.size() >= kPendingCapacity) {
        if (!Succeeded(file_.WriteAt(pendingStart_, bytes))) {
            return false;
        }
        pendingStart_ += bytes.size();
        return true;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return true;
}

bool ArchiveFile::Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset < pendingStart_) {
        const std::size_t inFile =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), pendingStart_ - offset));
        if (!Succeeded(file_.WriteAt(offset, bytes.first(inFile)))) {
            return false;
        }
        bytes = bytes.subspan(inFile);
        offset += inFile;
    }
    std::copy(bytes.begin(), bytes.end(),
              pending_.begin() + static_cast<std::ptrdiff_t>(offset - pendingStart_));
    return true;
}

bool ArchiveFile::Truncate(std::uint64_t size) {
    if (size >= pendingStart_) {
        pending_.resize(static_cast<std::size_t>(size - pendingStart_));
        return true;
    }
    pending_.clear();
    if (!Succeeded(file_.Resize(size))) {
        return false;
    }
    pendingStart_ = size;
    return true;
}

bool ArchiveFile::Finish() {
    const bool written = WritePending() && Succeeded(file_.Flush());
    const bool closed = Succeeded(file_.Close());
    return written && closed;
}

void ArchiveFile::Discard() {
    file_.Close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace arkivo::zip

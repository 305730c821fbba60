#include "zip/archive_file.h"

#include <algorithm>

namespace arkivo::zip {
namespace {

constexpr std::size_t kPendingCapacity = 1 << 18;

}  // namespace

ArchiveFile::ArchiveFile() {
    // Our own buffer is the only one, so a failed write shows at once.
    file_.pubsetbuf(nullptr, 0);
    pending_.reserve(kPendingCapacity);
}

bool ArchiveFile::Create(const std::filesystem::path& path) {
    path_ = path;
    return file_.open(path, std::ios::out | std::ios::binary | std::ios::trunc) != nullptr;
}

bool ArchiveFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    const auto n = static_cast<std::streamsize>(bytes.size());
    const bool written = file_.sputn(reinterpret_cast<const char*>(bytes.data()), n) == n;
    if (written) {
        writtenEnd_ = std::max(writtenEnd_, offset + bytes.size());
    }
    return written;
}

bool ArchiveFile::SeekTo(std::uint64_t offset) {
    const auto target = static_cast<std::streamoff>(offset);
    return file_.pubseekpos(target, std::ios::out) == std::streampos(target);
}

bool ArchiveFile::WritePending() {
    if (pending_.empty()) {
        return true;
    }
    if (!WriteAt(pendingStart_, pending_)) {
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
        if (!WriteAt(pendingStart_, bytes)) {
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
        if (!SeekTo(offset) || !WriteAt(offset, bytes.first(inFile)) || !SeekTo(pendingStart_)) {
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
    if (!SeekTo(size)) {
        return false;
    }
    pendingStart_ = size;
    return true;
}

bool ArchiveFile::Finish() {
    const bool written = WritePending();
    const bool closed = file_.close() != nullptr;
    if (!written || !closed) {
        return false;
    }
    if (writtenEnd_ > size()) {
        std::error_code error;
        std::filesystem::resize_file(path_, size(), error);
        return !error;
    }
    return true;
}

void ArchiveFile::Discard() {
    file_.close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace arkivo::zip

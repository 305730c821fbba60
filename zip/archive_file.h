// The file an archive is written to. Bytes are appended at the end; the most recent ones wait
// in memory, so that completing a small entry's header or dropping a failed entry seldom
// touches the file. An entry dropped after its bytes reached the file is cut off there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "platform/file_handle.h"

namespace arkivo::zip {

class ArchiveFile {
  public:
    ArchiveFile();

    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Creates the file, replacing any file of that name. It may hold private files, so on
    // POSIX only its owner may read it.
    bool Create(const std::filesystem::path& path);

    bool Append(std::span<const std::uint8_t> bytes);

    // Replaces bytes already appended, at offset.
    bool Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    // Drops every byte from size on.
    bool Truncate(std::uint64_t size);

    // Writes out what is pending, waits until the file is on stable storage, and closes it, so
    // that once it is renamed a power loss cannot leave a damaged archive under its name.
    bool Finish();

    // Closes and removes the file.
    void Discard();

    std::uint64_t size() const { return pendingStart_ + pending_.size(); }

    // The system's reason for the last operation that failed.
    std::error_code error() const { return error_; }

  private:
    bool WritePending();
    // Keeps a failure's reason; true when there was none.
    bool Succeeded(std::error_code error);

    std::filesystem::path path_;
    platform::FileHandle file_;
    // Bytes from pendingStart_ on, not yet written; the file ends at pendingStart_.
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingStart_ = 0;
    std::error_code error_;
};

}  // namespace arkivo::zip

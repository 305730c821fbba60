// The file an archive is written to. Bytes are appended at the end; the most recent ones wait
// in memory, so that completing a small entry's header or dropping a failed entry seldom
// touches the file. An entry dropped after its bytes reached the file is overwritten by what
// follows, and whatever remains past the end is cut off when the file is finished.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <system_error>
#include <vector>

namespace arkivo::zip {

class ArchiveFile {
  public:
    ArchiveFile();

    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Creates the file, replacing any file of that name.
    bool Create(const std::filesystem::path& path);

    bool Append(std::span<const std::uint8_t> bytes);

    // Replaces bytes already appended, at offset.
    bool Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    // Drops every byte from size on.
    bool Truncate(std::uint64_t size);

    // Writes out what is pending, closes the file and cuts it to size().
    bool Finish();

    // Closes and removes the file.
    void Discard();

    std::uint64_t size() const { return pendingStart_ + pending_.size(); }

  private:
    bool WritePending();
    bool SeekTo(std::uint64_t offset);
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    std::filesystem::path path_;
    std::filebuf file_;
    // Bytes from pendingStart_ on, not yet written; the file position stays at pendingStart_.
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingStart_ = 0;
    // How far the file has ever been written, which may lie past size() after a Truncate.
    std::uint64_t writtenEnd_ = 0;
};

}  // namespace arkivo::zip

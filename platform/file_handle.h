// A file the core holds open itself: a source read from its start, or an archive written at
// offsets of its own choosing. What a handle tells and flushes concerns the file it opened,
// whatever its path names later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>

#include "platform/file_system.h"

namespace arkivo::platform {

class FileHandle {
  public:
    FileHandle() = default;
    ~FileHandle();

    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing file for reading; others may go on writing to it meanwhile.
    std::error_code OpenForReading(const std::filesystem::path& path);

    // Creates the file for writing, emptying a file of that name. On POSIX only the owner may
    // read or write it, also when an older file of that name allowed others.
    std::error_code CreateOwnerOnly(const std::filesystem::path& path);

    // The facts of the open file, as GetFileInfo gives them for a path.
    std::error_code GetInfo(FileInfo& info) const;

    // Reads the next bytes into the front of buffer; count is 0 at the end of the file.
    std::error_code Read(std::span<std::uint8_t> buffer, std::size_t& count);

    // Writes all of bytes at offset, whatever was read or written before.
    std::error_code WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    std::error_code Resize(std::uint64_t size);

    // Returns once what was written is on stable storage.
    std::error_code Flush();

    // Closes now, reporting whether the close succeeded.
    std::error_code Close();

    bool IsOpen() const { return native_ != kNone; }

  private:
    static constexpr std::intptr_t kNone = -1;

    std::intptr_t native_ = kNone;  // the file descriptor or the HANDLE
    std::filesystem::path path_;
};

}  // namespace arkivo::platform

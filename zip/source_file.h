// A file being added: read from its start up to the size it had when it was opened, never
// further, and then checked for changes made while it was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

#include "platform/file_handle.h"
#include "platform/file_system.h"

namespace arkivo::zip {

class SourceFile {
  public:
    enum class Ending {
        Unchanged,
        Changed,  // its size or last-write time moved, or it held more or fewer bytes
        ReadFailed,
    };

    // Fails for a folder, and for anything that is neither a file nor a folder.
    std::error_code Open(const std::filesystem::path& path);

    // The facts of the file when it was opened.
    const platform::FileInfo& info() const { return info_; }

    // Fills the front of buffer: the number of bytes; 0 once the size seen at open is read, or
    // the file ended sooner; nullopt when reading failed.
    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer);

    // Once Read gave 0: whether the file is still as it was when opened, with exactly the bytes
    // that were read.
    Ending Finish();

    // The system's reason why Read gave nullopt or Finish gave ReadFailed.
    std::error_code error() const { return error_; }

  private:
    platform::FileHandle file_;
    platform::FileInfo info_;
    std::uint64_t read_ = 0;
    std::error_code error_;
};

}  // namespace arkivo::zip

// A file being added, read from start to end in pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>

namespace arkivo::zip {

class SourceFile {
  public:
    SourceFile();

    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    bool Open(const std::filesystem::path& path);

    // Fills the front of buffer: the number of bytes, 0 at the end, nullopt when reading failed.
    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer);

  private:
    std::ifstream stream_;
};

}  // namespace arkivo::zip

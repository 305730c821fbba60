#include "zip/source_file.h"

namespace arkivo::zip {

SourceFile::SourceFile() {
    // Reads are large and go straight into the caller's buffer.
    stream_.rdbuf()->pubsetbuf(nullptr, 0);
}

bool SourceFile::Open(const std::filesystem::path& path) {
    stream_.open(path, std::ios::in | std::ios::binary);
    return stream_.is_open();
}

std::optional<std::size_t> SourceFile::Read(std::span<std::uint8_t> buffer) {
    stream_.read(reinterpret_cast<char*>(buffer.data()),
                 static_cast<std::streamsize>(buffer.size()));
    if (stream_.bad()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(stream_.gcount());
}

}  // namespace arkivo::zip

#include "platform/file_system_flusher.h"

namespace arkivo::platform {

// Flushing a whole volume needs administrator rights on Windows; like any copy tool we leave
// the copies to the system cache.
struct FileSystemFlusher::Flushing {};

FileSystemFlusher::FileSystemFlusher() = default;
FileSystemFlusher::~FileSystemFlusher() = default;

std::error_code FileSystemFlusher::Watch(const std::filesystem::path&) {
    return {};
}

void FileSystemFlusher::Start() {}

std::error_code FileSystemFlusher::Finish(const std::filesystem::path&) {
    return {};
}

}  // namespace arkivo::platform

#include "tests/fuzz/fuzz_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace arkivo::fuzz {
namespace {

// Removed when the fuzzer ends normally; after a crash it stays, with the input's files.
class ScratchFolder {
  public:
    ScratchFolder() {
        const std::filesystem::path shm = "/dev/shm";
        const auto parent =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        path_ = parent / ("arkivo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes) {
    static const ScratchFolder folder;
    const auto path = folder.path() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void Fail(std::string_view what) {
    std::fprintf(stderr, "property broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

}  // namespace arkivo::fuzz

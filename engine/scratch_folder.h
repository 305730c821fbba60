// A folder of the system's temporary folder that only this user may enter, made when first
// needed and removed with all it holds when done with. Downloads and archives on their way to
// a server wait in it, out of other users' reach.
#pragma once

#include <filesystem>
#include <system_error>

namespace arkivo::engine {

class ScratchFolder {
  public:
    ScratchFolder() = default;
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, made now if not yet.
    std::error_code Get(std::filesystem::path& folder);

  private:
    std::filesystem::path folder_;
};

}  // namespace arkivo::engine

#include "engine/scratch_folder.h"

#include "platform/files.h"

namespace arkivo::engine {

namespace fs = std::filesystem;

ScratchFolder::~ScratchFolder() {
    if (!folder_.empty()) {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
}

std::error_code ScratchFolder::Get(fs::path& folder) {
    if (folder_.empty()) {
        std::error_code error;
        const fs::path made = platform::TemporaryPathIn(fs::temp_directory_path(error));
        if (error || (fs::create_directory(made, error), error)) {
            return error;
        }
        folder_ = made;
        fs::permissions(made, fs::perms::owner_all, error);
        if (error) {
            return error;
        }
    }
    folder = folder_;
    return {};
}

}  // namespace arkivo::engine

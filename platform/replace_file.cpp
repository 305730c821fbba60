#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::platform {

std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                    FilePrivacy privacy) {
    std::filesystem::path temp;
    if (auto error = WriteTemporaryFor(path, bytes, privacy, temp)) {
        return error;
    }
    if (auto error = RenameDurably(temp, path)) {
        RemoveFile(temp);
        return error;
    }
    return {};
}

}  // namespace arkivo::platform

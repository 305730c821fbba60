#include "settings/ini_file.h"

#include "platform/files.h"

namespace arkivo {

std::error_code ReadIniFile(const std::filesystem::path& file, IniDocument& document) {
    std::string bytes;
    const auto error = platform::ReadFileContents(file, bytes);
    if (error && error != std::errc::no_such_file_or_directory) {
        return error;
    }
    document = IniDocument(bytes);
    return {};
}

std::error_code EditIniFile(const std::filesystem::path& file,
                            const std::function<std::error_code(IniDocument&)>& change) {
    IniDocument document{std::string_view()};
    if (auto error = ReadIniFile(file, document)) {
        return error;
    }
    const std::string before = document.Bytes();
    if (auto error = change(document)) {
        return error;
    }
    std::string after = document.Bytes();
    if (after == before) {
        return {};
    }
    return platform::ReplaceFileContents(file, after, platform::FilePrivacy::Shared);
}

}  // namespace arkivo

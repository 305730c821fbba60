// Changing an INI file on disk: the file is read, changed as an IniDocument and replaced whole
// (platform::ReplaceFileContents), so a crash leaves the old or the new file, never a mix. The
// caller holds the data folder's lock.
#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

#include "settings/ini_document.h"

namespace arkivo {

// A missing file is changed as an empty one, and is created only when the change gives it
// content. A change that leaves the bytes as they were writes nothing.
std::error_code EditIniFile(const std::filesystem::path& file,
                            const std::function<std::error_code(IniDocument&)>& change);

// The file as it is now, as a document to change; a missing file gives an empty one.
std::error_code ReadIniFile(const std::filesystem::path& file, IniDocument& document);

}  // namespace arkivo

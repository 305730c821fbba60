// Where the program keeps its files: the folder of its executable.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace arkivo::ui {

inline constexpr std::u16string_view kProgramKey = u"Software\\Morrowen\\Arkivo\\env";
inline constexpr std::u16string_view kProgramValue = u"path";

// The executable's path, cut to 255 characters, up to and including its last backslash.
std::u16string ProgramFolderOf(std::u16string_view executablePath);

}  // namespace arkivo::ui

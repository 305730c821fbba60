// The data folder that plays the part of the program folder on Linux: it holds the
// environment file, the settings files and the language files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace arkivo::cli {

// --home, else $ARKIVO_HOME, else $XDG_DATA_HOME/arkivo, else ~/.local/share/arkivo, "~" being
// $HOME or the user's home folder in the password database. Nothing when the user has none.
std::optional<std::filesystem::path> ResolveHome(const std::optional<std::string>& homeOption);

// Creates the folder on first use and puts in what a new user needs: the language files (kept
// current with the installed ones), empty settings files and an empty environment file.
// Returns an error text, or nothing on success.
std::optional<std::string> PrepareHome(const std::filesystem::path& home);

// Where the installed language files are: beside the executable (a build folder), or where
// `cmake --install` puts them for the executable's folder (../share/arkivo by default).
std::filesystem::path InstalledDataFolder();

}  // namespace arkivo::cli

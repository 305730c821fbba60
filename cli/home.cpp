#include "cli/home.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "cli/console.h"
#include "common/text.h"
#include "jobs/environment_file.h"
#include "platform/files.h"
#include "platform/process.h"
#include "settings/app_stores.h"
#include "settings/data_folder_lock.h"

namespace arkivo::cli {
namespace fs = std::filesystem;

namespace {

std::optional<fs::path> FromEnvironment(const char* name) {
    auto value = platform::EnvironmentVariable(name);
    if (!value || value->empty()) {
        return std::nullopt;
    }
    return fs::path(*value);
}

// $HOME, else (a service, a cron job, `env -i`) the home folder the password database gives the
// user; never the current folder, which may be anywhere.
std::optional<fs::path> UserHomeFolder() {
    if (auto home = FromEnvironment("HOME")) {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] == '\0') {
        return std::nullopt;
    }
    return fs::path(user->pw_dir);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<fs::path> ResolveHome(const std::optional<std::string>& homeOption) {
    if (homeOption && !homeOption->empty()) {
        return fs::absolute(*homeOption);
    }
    if (auto home = FromEnvironment("ARKIVO_HOME")) {
        return fs::absolute(*home);
    }
    if (auto xdg = FromEnvironment("XDG_DATA_HOME")) {
        return *xdg / "arkivo";
    }
    const auto user = UserHomeFolder();
    if (!user) {
        return std::nullopt;
    }
    return *user / ".local" / "share" / "arkivo";
}

fs::path InstalledDataFolder() {
    const auto exeFolder = platform::ExecutablePath().parent_path();
    std::error_code error;
    if (fs::exists(exeFolder / kLanguageFiles[0], error)) {
        return exeFolder;
    }
    return (exeFolder / ARKIVO_DATA_FROM_BINARY).lexically_normal();
}

std::optional<std::string> PrepareHome(const fs::path& home) {
    std::error_code error;
    fs::create_directories(home, error);
    if (!error && !fs::is_directory(home)) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error) {
        return "cannot create the data folder " + ShownPath(home) + ": " + error.message();
    }
    // Several commands may start at once on a new folder: one prepares it, the others find
    // it ready.
    const DataFolderLock lock(home);
    const auto installed = InstalledDataFolder();
    for (auto name : kLanguageFiles) {
        const auto source = installed / name;
        const auto target = home / name;
        if (!fs::exists(source, error)) {
            continue;
        }
        const std::string wanted = ReadAll(source);
        if (!fs::exists(target, error) || wanted != ReadAll(target)) {
            // Replaced whole, so a program reading it meanwhile never sees half a file.
            platform::ReplaceFileContents(target, wanted, platform::FilePrivacy::Shared);
        }
    }
    for (auto name : {kOptionFile, kFilterFile, kFilterIncFile, kSettingFile, kBannerFile}) {
        const auto path = home / name;
        if (!fs::exists(path, error)) {
            std::ofstream(path, std::ios::binary);
        }
    }
    if (!EnsureEnvironmentFile(home / kEnvironmentFileName)) {
        return "cannot create " + (home / kEnvironmentFileName).string();
    }
    return std::nullopt;
}

}  // namespace arkivo::cli

// The FTP fields of one side of a job as `jobs add` and `jobs set` take them, and where the
// password comes from: the command line (which other users can see), a file, an environment
// variable or the terminal.
#pragma once

#include <CLI/App.hpp>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/context.h"

namespace arkivo::cli {

struct FtpSideOptions {
    explicit FtpSideOptions(std::string sideName) : side(std::move(sideName)) {}

    std::string side;  // "base" or "target"
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> passwordFile;
    std::optional<std::uint32_t> port;
    bool active = false;
    bool passive = false;

    // ARKIVO_BASE_PASSWORD or ARKIVO_TARGET_PASSWORD.
    std::string PasswordVariable() const;
};

// --base-user, --base-password, --base-password-file, --base-port, --base-active (and
// --base-passive where a stored mode may be switched back), or the same for the target.
void AddFtpSideOptions(CLI::App* command, FtpSideOptions& options, bool withPassive);

// The password for the side at `location`, taken from the first that gives one: the option,
// the file (its first line, without the line end; a relative name is taken from the folder the
// user started in), and for a new login (an FTP side being registered, or a user name given)
// the environment variable, then, when a terminal is attached, a prompt that does not echo.
// Nothing when none does. False, after telling the user, when the file cannot be read.
bool TakePassword(Context& context, const FtpSideOptions& options, const std::u16string& location,
                  const std::u16string& user, bool newLogin,
                  std::optional<std::u16string>& password);

}  // namespace arkivo::cli

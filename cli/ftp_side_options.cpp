#include "cli/ftp_side_options.h"

#include <cstdlib>

#include "cli/console.h"
#include "cli/job_argument.h"
#include "cli/password_prompt.h"
#include "common/text.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::cli {
namespace {

std::string FirstLine(const std::string& bytes) {
    std::string line = bytes.substr(0, bytes.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::string FtpSideOptions::PasswordVariable() const {
    return side == "base" ? "ARKIVO_BASE_PASSWORD" : "ARKIVO_TARGET_PASSWORD";
}

void AddFtpSideOptions(CLI::App* command, FtpSideOptions& options, bool withPassive) {
    const std::string& side = options.side;
    const std::string prefix = "--" + side + "-";
    command->add_option(prefix + "user", options.user, "FTP user name of the " + side);
    auto* password = command->add_option(
        prefix + "password", options.password,
        "FTP password of the " + side +
            "; other users can see it in the process list, and it stays in the shell history: "
            "prefer " +
            prefix + "password-file, $" + options.PasswordVariable() +
            " or the prompt (shown on a terminal when no password is given)");
    auto* file = command->add_option(
        prefix + "password-file", options.passwordFile,
        "read the FTP password of the " + side + " from the first line of this file");
    password->excludes(file);
    file->excludes(password);
    command->add_option(prefix + "port", options.port, "FTP port of the " + side + " (21)")
        ->transform(PortNumberValidator());
    auto* active = command->add_flag(prefix + "active", options.active,
                                     "connect to the " + side + " in active mode, not passive");
    if (withPassive) {
        auto* passive = command->add_flag(prefix + "passive", options.passive,
                                          "connect to the " + side + " in passive mode");
        active->excludes(passive);
        passive->excludes(active);
    }
}

bool TakePassword(Context& context, const FtpSideOptions& options, const std::u16string& location,
                  const std::u16string& user, bool newLogin,
                  std::optional<std::u16string>& password) {
    password.reset();
    if (options.password) {
        password = Utf8ToUtf16(*options.password);
        return true;
    }
    if (options.passwordFile) {
        const auto path = context.invocationFolder / std::filesystem::path(*options.passwordFile);
        std::string bytes;
        if (auto error = platform::ReadFileContents(path, bytes)) {
            context.Fail(FileReadFailure(path, error));
            return false;
        }
        password = Utf8ToUtf16(FirstLine(bytes));
        return true;
    }
    if (!newLogin) {
        return true;
    }
    if (const char* variable = std::getenv(options.PasswordVariable().c_str())) {
        password = Utf8ToUtf16(variable);
        return true;
    }
    if (!user.empty()) {
        const auto typed = AskWithoutEcho("FTP password for " + Narrow(user) + " at " +
                                          ShownPath(platform::PathFromText(location)) + " (" +
                                          options.side + "): ");
        if (typed) {
            password = Utf8ToUtf16(*typed);
        }
    }
    return true;
}

}  // namespace arkivo::cli

#include "cli/ftp_command.h"

#include <cstdlib>
#include <iostream>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/job_argument.h"
#include "cli/password_prompt.h"
#include "common/text.h"
#include "engine/remote_folders.h"
#include "jobs/job_record.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/ftp_client.h"

namespace arkivo::cli {
namespace {

constexpr const char* kPasswordVariable = "ARKIVO_FTP_PASSWORD";

struct FtpCommandOptions {
    std::string location;
    std::string user = "anonymous";
    std::uint32_t port = kDefaultFtpPort;
    bool active = false;
    std::uint32_t timeoutSeconds = 30;
};

enum class Output { Summary, Entries };

// From the environment, else typed at the terminal; an empty one when neither gives any.
std::u16string Password(const FtpCommandOptions& options) {
    if (const char* variable = std::getenv(kPasswordVariable)) {
        return Utf8ToUtf16(variable);
    }
    const auto typed =
        AskWithoutEcho("FTP password for " + options.user + " at " + options.location + ": ");
    return Utf8ToUtf16(typed.value_or(""));
}

// A name from the server as one line of the terminal: it may hold any byte.
std::string Shown(const std::u16string& name) {
    return ShownPath(platform::PathFromText(name));
}

const char* ProblemText(platform::FtpNameProblem problem) {
    switch (problem) {
        case platform::FtpNameProblem::DotName:
            return "names the folder itself or its parent";
        case platform::FtpNameProblem::Separator:
            return "holds a path separator";
        case platform::FtpNameProblem::Nul:
            return "holds a NUL character";
        case platform::FtpNameProblem::NotUtf8:
            return "is not UTF-8";
        case platform::FtpNameProblem::None:
            break;
    }
    return "";
}

int Fail(const std::string& what, std::error_code error) {
    std::cerr << "arkivo: " << what << ": " << Narrow(platform::ErrorText(error)) << '\n';
    return kExitFilesFailed;
}

int Reach(const FtpCommandOptions& options, Output output) {
    FtpLocation location;
    if (!ParseFtpLocation(Utf8ToUtf16(options.location), location)) {
        std::cerr << "arkivo: not an FTP location with a folder: " << options.location
                  << " (ftp://host/folder)\n";
        return kExitUsage;
    }
    platform::FtpEndpoint endpoint;
    endpoint.host = location.host;
    endpoint.port = static_cast<std::uint16_t>(options.port);
    endpoint.user = Utf8ToUtf16(options.user);
    endpoint.password = Password(options);
    endpoint.passive = !options.active;
    endpoint.timeout = std::chrono::seconds(options.timeoutSeconds);
    const std::string server = Narrow(location.host) + " port " + std::to_string(options.port);

    auto ftp = platform::NewFtpConnection();
    if (auto error = ftp->Connect(endpoint)) {
        return Fail("cannot log in to " + server, error);
    }
    if (auto error = ftp->ChangeFolder(location.path)) {
        return Fail("cannot open the folder " + Shown(location.path) + " at " + server, error);
    }
    platform::FtpListing listing;
    if (auto error = ftp->List(u"", listing)) {
        return Fail("cannot list the folder " + Shown(location.path) + " at " + server, error);
    }
    ftp->Close();

    engine::SortByName(listing.entries);
    std::size_t folders = 0;
    std::size_t others = 0;
    for (const auto& entry : listing.entries) {
        if (!entry.HasSafeName()) {
            std::cerr << "arkivo: left out " << Shown(entry.name) << ": the name "
                      << ProblemText(entry.nameProblem) << '\n';
            continue;
        }
        (entry.IsFolder() ? folders : others)++;
        if (output == Output::Entries) {
            std::cout << Shown(entry.name) << (entry.IsFolder() ? "/" : "") << '\n';
        }
    }
    if (listing.unreadableLines > 0) {
        std::cerr << "arkivo: " << listing.unreadableLines
                  << (listing.unreadableLines == 1 ? " line" : " lines")
                  << " of the listing not understood\n";
    }
    if (output == Output::Summary) {
        std::cout << "Logged in to " << server << " as " << options.user << ".\n"
                  << "Folder " << Shown(location.path) << ": " << folders
                  << (folders == 1 ? " folder, " : " folders, ") << others
                  << (others == 1 ? " file" : " files") << ".\n";
    }
    return kExitDone;
}

void AddReachCommand(CLI::App* ftp, const char* name, const char* description, Output output,
                     CommandAction& action) {
    auto options = std::make_shared<FtpCommandOptions>();
    auto* command = ftp->add_subcommand(name, description);
    command->add_option("location", options->location, "ftp://host/folder")->required();
    command->add_option("--user", options->user, "FTP user name (anonymous)");
    command->add_option("--port", options->port, "FTP port (21)")->transform(PortNumberValidator());
    command->add_flag("--active", options->active,
                      "active mode: the server connects back, instead of passive");
    command
        ->add_option("--timeout", options->timeoutSeconds,
                     "seconds to wait for the server at most, each time (30)")
        ->check(CLI::Range(1, 3600));
    command->footer(std::string("The password comes from $") + kPasswordVariable +
                    ", else from a prompt on the terminal.");
    command->callback([&action, options, output] {
        action = [options, output](Context&) { return Reach(*options, output); };
    });
}

}  // namespace

void AddFtpCommand(CLI::App& app, CommandAction& action) {
    auto* ftp = app.add_subcommand("ftp", "reach an FTP location as a job would");
    ftp->require_subcommand(1);
    AddReachCommand(ftp, "test",
                    "log in, open the folder and list it; tells how many folders and files "
                    "it holds",
                    Output::Summary, action);
    AddReachCommand(ftp, "ls", "list the folder: one name a line, in order, folders ending in /",
                    Output::Entries, action);
}

}  // namespace arkivo::cli

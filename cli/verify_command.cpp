#include "cli/verify_command.h"

#include <iostream>
#include <memory>

#include "cli/archive_check_text.h"
#include "cli/console.h"
#include "cli/exit_code.h"
#include "zip/verify.h"

namespace arkivo::cli {
namespace {

int Verify(const Context& context, const std::vector<std::string>& archives) {
    int failed = 0;
    for (const auto& archive : archives) {
        const auto verdict = zip::VerifyZipArchive(context.invocationFolder / archive);
        PrintVerdict(&std::cout, std::cerr, ShownPath(archive), verdict);
        failed += verdict.status != zip::ArchiveCheck::Ok;
    }
    return failed == 0 ? kExitDone : kExitFilesFailed;
}

}  // namespace

void AddVerifyCommand(CLI::App& app, CommandAction& action) {
    auto archives = std::make_shared<std::vector<std::string>>();
    auto* verify = app.add_subcommand("verify", "check archives written by a run, entry by entry");
    verify->add_option("ARCHIVE", *archives, "the archives")->required();
    verify->callback([&action, archives] {
        action = [archives](Context& context) { return Verify(context, *archives); };
    });
}

}  // namespace arkivo::cli

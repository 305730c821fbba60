#include "cli/context.h"

#include "cli/console.h"
#include "cli/exit_code.h"
#include "common/text.h"
#include "jobs/job_record.h"

namespace arkivo::cli {

std::u16string Context::AbsoluteJobPath(const std::string& typed) const {
    const std::u16string text = Utf8ToUtf16(typed);
    if (text.empty() || IsFtpLocation(text)) {
        return text;
    }
    auto path = (invocationFolder / std::filesystem::path(text)).lexically_normal();
    auto result = path.u16string();
    while (result.size() > 1 && result.back() == u'/') {
        result.pop_back();
    }
    return result;
}

int Context::Finish(const CommandOutcome& outcome) {
    for (const auto& message : outcome.messages) {
        PrintError(Resolve(stores.language, message));
    }
    for (const auto& warning : outcome.warnings) {
        PrintError(Resolve(stores.language, warning));
    }
    if (outcome.error || outcome.dataFolderFailed) {
        dataFolderFailed = true;
        return kExitDataFolder;
    }
    return outcome.messages.empty() ? kExitDone : kExitFilesFailed;
}

int Context::Fail(const UserMessage& message) {
    PrintError(Resolve(stores.language, message));
    return kExitFilesFailed;
}

int Context::FailToReadOrWrite(const UserMessage& message) {
    PrintError(Resolve(stores.language, message));
    dataFolderFailed = true;
    return kExitDataFolder;
}

}  // namespace arkivo::cli

#include "jobs/location_presence.h"

#include "jobs/job_record.h"
#include "platform/file_system.h"

namespace arkivo {

bool TargetParentMissing(const std::filesystem::path& target) {
    // "/mnt/drive/backup/" names the same folder as "/mnt/drive/backup".
    const auto named = target.has_filename() ? target : target.parent_path();
    return !platform::Exists(named) && !platform::Exists(named.parent_path());
}

std::vector<UserMessage> MissingFolderWarnings(std::u16string_view base,
                                               std::u16string_view target) {
    std::vector<UserMessage> warnings;
    const auto basePath = platform::PathFromText(base);
    if (!IsFtpLocation(base) && !platform::Exists(basePath)) {
        warnings.push_back(
            UserMessage::TextWith(text::RootBaseMissing, platform::ShownPathText(basePath)));
    }
    const auto targetPath = platform::PathFromText(target).lexically_normal();
    if (!IsFtpLocation(target) && TargetParentMissing(targetPath)) {
        warnings.push_back(UserMessage::TextWith(text::RootTargetParentMissing,
                                                 platform::ShownPathText(targetPath)));
    }
    return warnings;
}

}  // namespace arkivo

#include "jobs/target_overlap.h"

#include "common/text.h"
#include "jobs/location_relation.h"
#include "settings/app_stores.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

bool DeletesOrphans(const JobRecord& job, std::size_t index, CLangIni& settingStore) {
    return job.backupType == static_cast<std::uint32_t>(BackupType::Sync) &&
           ReadNumber(settingStore, JobSectionName(index), u"SyncDelNoSrc") == 1;
}

}  // namespace

std::vector<TargetConflict> FindTargetConflicts(const JobTable& table, CLangIni& settingStore) {
    std::vector<bool> deletes;
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        deletes.push_back(DeletesOrphans(table.jobs[i], i, settingStore));
    }
    std::vector<TargetConflict> conflicts;
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        for (std::size_t j = i + 1; j < table.jobs.size(); ++j) {
            if ((deletes[i] || deletes[j]) &&
                RelateLocations(table.jobs[i].targetPath, table.jobs[j].targetPath) !=
                    LocationRelation::Apart) {
                conflicts.push_back({i, j});
            }
        }
    }
    return conflicts;
}

std::vector<UserMessage> TargetConflictWarnings(const std::vector<TargetConflict>& conflicts,
                                                std::optional<std::size_t> involving) {
    std::vector<UserMessage> warnings;
    for (const auto& conflict : conflicts) {
        if (!involving || conflict.first == *involving || conflict.second == *involving) {
            warnings.push_back(UserMessage::TextWith(text::RootTargetsOverlap,
                                                     ToDecimalUnsigned(conflict.first + 1) + u", " +
                                                         ToDecimalUnsigned(conflict.second + 1)));
        }
    }
    return warnings;
}

}  // namespace arkivo

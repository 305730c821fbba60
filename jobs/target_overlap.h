// Jobs that delete each other's files: two jobs whose targets are one folder, or one inside
// the other, while at least one of them is a synchronisation that deletes target files its
// base does not have ("SyncDelNoSrc" = 1 in "Setting.ini"). Each run of that job deletes
// what the other one put there.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "jobs/job_record.h"
#include "settings/user_message.h"

namespace arkivo {

class CLangIni;

struct TargetConflict {
    std::size_t first = 0;  // job positions, 0-based, first < second
    std::size_t second = 0;

    bool operator==(const TargetConflict&) const = default;
};

// Every such pair of the table, in table order. The deletion switches are read from the store
// as it stands (missing keys are off and are not created): re-read it first when another
// process may have changed the file.
std::vector<TargetConflict> FindTargetConflicts(const JobTable& table, CLangIni& settingStore);

// One warning per pair, or only for the pairs the job at `involving` is part of.
std::vector<UserMessage> TargetConflictWarnings(const std::vector<TargetConflict>& conflicts,
                                                std::optional<std::size_t> involving = {});

}  // namespace arkivo

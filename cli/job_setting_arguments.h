// Reading job settings as the command line spells them: backup types, on and off, and the
// dates of a period.
#pragma once

#include <CLI/App.hpp>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jobs/job_period.h"
#include "jobs/job_record.h"

namespace arkivo::cli {

extern const std::map<std::string, BackupType> kTypeNames;

// "synchronisation", "differential", "incremental" or "period".
std::string TypeInWords(std::uint32_t backupType);

std::optional<bool> OnOff(const std::optional<std::string>& value);

// Accepts what PeriodStartFromText reads.
CLI::Validator LocalDateValidator();

inline constexpr const char* kPeriodHelp =
    "the period whose changes a period job copies, as local dates and times: "
    "FROM is 2026-12-01, 2026-12-01T08:30 or 2026-12-01T08:30:15; TO covers the whole day, "
    "minute or second it names (\"--period 2026-12-01 2026-12-31\" is all of December)";

// Both bounds, already checked by the validator; nothing when TO lies past what the system's
// calendar reaches.
std::optional<JobPeriod> PeriodOfArguments(const std::vector<std::string>& fromTo);

}  // namespace arkivo::cli

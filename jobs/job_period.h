// A period job's period: the span of local time whose changes its runs copy.
//
// The record keeps the second before the period's first (a run copies what changed strictly
// after it, the same instant a run stamps when it moves the start on) and the first second
// after the period (copied files were written strictly before it). A period end of 0 means
// the job has no period yet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jobs/job_record.h"

namespace arkivo {

struct JobPeriod {
    std::int64_t first = 0;     // the first second the period covers
    std::int64_t pastLast = 0;  // the first second after it

    bool operator==(const JobPeriod&) const = default;
};

bool HasPeriod(const JobRecord& job);

// The period the job's next run covers; nothing when it has none.
std::optional<JobPeriod> PeriodOf(const JobRecord& job);
void SetPeriod(JobRecord& job, const JobPeriod& period);

// A bound typed as ISO 8601 local time: "2026-12-01", "2026-12-01T08:30" or
// "2026-12-01T08:30:15" (a space may stand for the "T"), read by the system's local-time rules.
// A start is its first second; an end covers the whole day, minute or second it names, so
// "2026-12-01 2026-12-31" is all of December. Nothing for text of another form, a date or
// time that does not exist, or a time before 1970.
std::optional<std::int64_t> PeriodStartFromText(std::string_view text);
std::optional<std::int64_t> PeriodEndFromText(std::string_view text);

// The period in the form it is typed, each bound as precise as it needs to be:
// "2026-12-01 to 2026-12-31", "2026-12-01 08:30 to 2026-12-01 17:59:30".
std::string PeriodText(const JobPeriod& period);

}  // namespace arkivo

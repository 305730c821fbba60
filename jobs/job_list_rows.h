// What the job list shows for one job: its number, both sides and the day of its last run.
#pragma once

#include <cstdint>
#include <string>

#include "jobs/job_record.h"

namespace arkivo {

struct JobRowTexts {
    std::u16string number;
    std::u16string base;
    std::u16string target;
    std::u16string lastUpdated;
};

JobRowTexts RowTextsOf(const JobRecord& job);

// The local date as "2009-03- 5": the day of the month is padded with a blank, not a zero.
// Empty when the time has no local date.
std::u16string FormatListDate(std::int64_t unixSeconds);

}  // namespace arkivo

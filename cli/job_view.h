// How jobs look on the terminal.
#pragma once

#include <iosfwd>
#include <string>

#include "jobs/job_record.h"

namespace arkivo::cli {

std::string TypeName(std::uint32_t backupType);

// "2009-03-05 09:07" in local time, or "never" for a job that never ran.
std::string DateText(std::uint64_t unixSeconds);

// Jobs go by their place in the table, the number every command takes.
void PrintJobTable(std::ostream& out, const JobTable& table);
void PrintJobDetails(std::ostream& out, const JobRecord& job, std::size_t jobIndex);

}  // namespace arkivo::cli

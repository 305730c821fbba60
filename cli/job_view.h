// How jobs look on the terminal.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "jobs/job_record.h"

namespace arkivo::cli {

std::string TypeName(std::uint32_t backupType);

// "2009-03-05 09:07" in local time, or "never" for a job that never ran.
std::string DateText(std::uint64_t unixSeconds);

// What a job's details show beside its record: its switches in "Setting.ini" and how many
// patterns its filter lists hold.
struct JobSwitches {
    bool syncDelete = false;
    bool dotFolders = false;
    std::size_t excludePatterns = 0;
    std::size_t includePatterns = 0;
};

// Jobs go by their place in the table, the number every command takes. `toCopy`: per job,
// whether auto-detect found files to copy.
void PrintJobTable(std::ostream& out, const JobTable& table, const std::vector<bool>& toCopy);

// Every setting, one per line; a setting the job's type does not use says so. Never the
// password, only whether there is one.
void PrintJobDetails(std::ostream& out, const JobRecord& job, std::size_t jobIndex,
                     const JobSwitches& switches);

}  // namespace arkivo::cli

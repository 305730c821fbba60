// The byte layout of the environment file: UTF-16LE text that went through a C runtime text
// stream, so every 0x0A byte on disk is preceded by an added 0x0D.
#pragma once

#include <string>
#include <string_view>

#include "jobs/job_record.h"

namespace arkivo {

std::string EncodeEnvironment(const JobTable& table);

// Where reading a damaged file stopped, and why: what the user needs to find the damage.
struct EnvironmentFormatProblem {
    std::size_t line = 0;        // 1-based line of the file where the field in question begins
    std::size_t job = 0;         // 1-based job line, 0 before the job list
    std::size_t field = 0;       // 1-based field of the job line (after "PATHn :"), 0 if none
    std::string_view fieldName;  // "base path", "last target path"...; empty if none
    std::string_view what;       // "more than 254 characters"
};

// Fills table from the file's bytes and sets loadStatus and jobListFlag. On a status other
// than Ok the table's jobs are unspecified and must not be saved; `problem`, when given, then
// says where and why reading stopped.
void DecodeEnvironment(std::string_view bytes, JobTable& table,
                       EnvironmentFormatProblem* problem = nullptr);

// "line 5 (job 2, field 8 'base path'): more than 254 characters".
std::u16string DescribeFormatProblem(const EnvironmentFormatProblem& problem);

// The text-stream rule on its own, exposed for the reference-file tests.
std::string ApplyTextModeLineEnds(std::u16string_view text);
std::u16string UndoTextModeLineEnds(std::string_view bytes);

}  // namespace arkivo

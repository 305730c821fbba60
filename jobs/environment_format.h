// The byte layout of the environment file: UTF-16LE text that went through a C runtime text
// stream, so every 0x0A byte on disk is preceded by an added 0x0D.
#pragma once

#include <string>
#include <string_view>

#include "jobs/job_record.h"

namespace arkivo {

std::string EncodeEnvironment(const JobTable& table);

// Fills table from the file's bytes and sets loadStatus and jobListFlag. On a status other
// than Ok the table's jobs are unspecified and must not be saved.
void DecodeEnvironment(std::string_view bytes, JobTable& table);

// The text-stream rule on its own, exposed for the reference-file tests.
std::string ApplyTextModeLineEnds(std::u16string_view text);
std::u16string UndoTextModeLineEnds(std::string_view bytes);

}  // namespace arkivo

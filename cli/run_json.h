// The summary of a run as one JSON object on one line, for scripts and monitoring (`run
// --json`). The schema is described in README ("Output for scripts").
#pragma once

#include <string>

#include "cli/run_record.h"

namespace arkivo::cli {

std::string RunJson(const RunRecord& record);

}  // namespace arkivo::cli

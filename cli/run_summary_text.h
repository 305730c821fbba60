// The run's figures in words: a line as each job ends, and one summary when the run is over.
// A dry run says what would be done and never that anything was copied.
#pragma once

#include <iosfwd>
#include <string_view>

#include "cli/run_record.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::cli {

void PrintJobResult(std::ostream& out, const engine::JobSummary& job, bool dryRun);

// The summary and, last, the result in the interface language. `completeText` is what a run
// that did all it should says. A run that was refused or could not read its job list has said
// why on standard error already, and prints nothing here.
void PrintRunSummary(std::ostream& out, const RunRecord& record, CLangIni& language,
                     std::u16string_view completeText);

}  // namespace arkivo::cli

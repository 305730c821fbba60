// What the archive check found, in words: for `verify` and for `run --verify`.
#pragma once

#include <iosfwd>
#include <string>

#include "zip/verify.h"

namespace arkivo::cli {

const char* EntryCheckText(zip::EntryCheck check);
// Follows the archive's name: "… has damaged entries".
const char* ArchiveCheckText(zip::ArchiveCheck check);

// The damaged entries and what is wrong with the archive go to `errors`, one line each; a
// sound archive is said to `out` ("… 4,701 entries, all intact") unless that is null.
void PrintVerdict(std::ostream* out, std::ostream& errors, const std::string& shownArchive,
                  const zip::ArchiveVerdict& verdict);

}  // namespace arkivo::cli

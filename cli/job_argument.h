// Turning a job number typed on the command line into a job index, with the dialogs' message
// when there is no such job.
#pragma once

#include <cstdint>
#include <optional>

#include "cli/context.h"

namespace arkivo::cli {

std::optional<std::size_t> JobIndexOf(Context& context, std::uint32_t jobNumber);

}  // namespace arkivo::cli

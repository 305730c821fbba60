// Numbers typed on the command line: the checks that turn a wrong one into a message in plain
// words ("job number must be 1 or more"), and the job number turned into a job index, with the
// dialogs' message when there is no such job.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/context.h"

namespace arkivo::cli {

// A whole decimal number from `least` to `most`; anything else is refused with "<what> must be
// <least> or more", "<what> must be <most> or less" or "<what> must be a whole number, not
// '<text>'", instead of the parser's own range text. Give it to an option with transform(): it
// writes the number back without leading zeros, which the parser would read as octal.
class WholeNumberValidator : public CLI::Validator {
  public:
    WholeNumberValidator(std::string what, std::uint64_t least, std::uint64_t most);
};

// A job number as the list shows it: 1 to 255.
class JobNumberValidator : public WholeNumberValidator {
  public:
    JobNumberValidator();
};

// A TCP port: 1 to 65535.
class PortNumberValidator : public WholeNumberValidator {
  public:
    PortNumberValidator();
};

std::optional<std::size_t> JobIndexOf(Context& context, std::uint32_t jobNumber);

}  // namespace arkivo::cli

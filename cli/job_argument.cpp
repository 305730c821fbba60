#include "cli/job_argument.h"

#include <utility>

#include "cli/console.h"
#include "common/text.h"
#include "jobs/environment_file.h"

namespace arkivo::cli {
namespace {

// Only decimal digits: the parser itself would also take "0x1f", "1e2" or "-1" for numbers.
bool IsWholeNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

WholeNumberValidator::WholeNumberValidator(std::string what, std::uint64_t least,
                                           std::uint64_t most)
    : CLI::Validator(
          [what = std::move(what), least, most](std::string& text) -> std::string {
              if (!IsWholeNumber(text)) {
                  return what + " must be a whole number, not '" + text + "'";
              }
              const auto significant = text.find_first_not_of('0');
              // More digits than the largest 64-bit number has cannot be read, and are too many.
              const bool huge = significant != std::string::npos && text.size() - significant > 19;
              const std::uint64_t value = huge ? most : std::stoull(text);
              if (value < least) {
                  return what + " must be " + std::to_string(least) + " or more";
              }
              if (huge || value > most) {
                  return what + " must be " + std::to_string(most) + " or less";
              }
              // The parser reads a leading 0 as octal: "021" must be 21, as it was checked.
              text = std::to_string(value);
              return {};
          },
          "NUMBER") {}

JobNumberValidator::JobNumberValidator() : WholeNumberValidator("job number", 1, kMaxJobs) {}

PortNumberValidator::PortNumberValidator() : WholeNumberValidator("port", 1, 65535) {}

std::optional<std::size_t> JobIndexOf(Context& context, std::uint32_t jobNumber) {
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        context.FailToReadOrWrite(file.LoadProblem());
        return std::nullopt;
    }
    if (jobNumber == 0 || jobNumber > table.jobs.size()) {
        PrintError(Resolve(context.stores.language, UserMessage::Text(text::RootNoSuchJob)) +
                   u" (" + ToDecimalUnsigned(jobNumber) + u")");
        return std::nullopt;
    }
    return jobNumber - 1;
}

}  // namespace arkivo::cli

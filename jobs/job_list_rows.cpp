#include "jobs/job_list_rows.h"

#include "common/text.h"
#include "platform/clock.h"

namespace arkivo {
namespace {

std::u16string Padded(int value, std::size_t width, char16_t fill) {
    std::u16string digits = ToDecimal(value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), fill);
    }
    return digits;
}

}  // namespace

JobRowTexts RowTextsOf(const JobRecord& job) {
    return {ToDecimalUnsigned(job.jobNumber), job.basePath, job.targetPath,
            FormatListDate(static_cast<std::int64_t>(job.lastBackupTime))};
}

std::u16string FormatListDate(std::int64_t unixSeconds) {
    const auto local = platform::ToLocalTime(unixSeconds);
    if (!local) {
        return {};
    }
    return Padded(local->year, 4, u'0') + u"-" + Padded(local->month, 2, u'0') + u"-" +
           Padded(local->day, 2, u' ');
}

}  // namespace arkivo

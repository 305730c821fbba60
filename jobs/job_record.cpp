#include "jobs/job_record.h"

#include "platform/upper_case.h"

namespace arkivo {

bool IsFtpLocation(std::u16string_view path) {
    return path.size() >= 4 && platform::EqualsIgnoreCase(path.substr(0, 4), u"ftp:");
}

bool ParseFtpLocation(std::u16string_view location, FtpLocation& out) {
    if (!IsFtpLocation(location)) {
        return false;
    }
    const auto first = location.find(u'/');
    if (first == std::u16string_view::npos) {
        return false;
    }
    const auto second = location.find(u'/', first + 1);
    if (second == std::u16string_view::npos) {
        return false;
    }
    const auto third = location.find(u'/', second + 1);
    if (third == std::u16string_view::npos) {
        return false;
    }
    out.host = std::u16string(location.substr(second + 1, third - second - 1));
    out.path = std::u16string(location.substr(third));
    return !out.host.empty();
}

namespace {

template <typename Field>
std::size_t FindFirst(const JobTable& table, std::u16string_view path, Field field) {
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        if (platform::EqualsIgnoreCase(table.jobs[i].*field, path)) {
            return i;
        }
    }
    return kNoJobIndex;
}

}  // namespace

std::size_t FindJobByBase(const JobTable& table, std::u16string_view path) {
    return FindFirst(table, path, &JobRecord::basePath);
}

std::size_t FindJobByTarget(const JobTable& table, std::u16string_view path) {
    return FindFirst(table, path, &JobRecord::targetPath);
}

bool TableContainsPair(const JobTable& table, std::u16string_view base,
                       std::u16string_view target) {
    for (const auto& job : table.jobs) {
        if (platform::EqualsIgnoreCase(job.basePath, base) &&
            platform::EqualsIgnoreCase(job.targetPath, target)) {
            return true;
        }
    }
    return false;
}

}  // namespace arkivo

#include "jobs/location_relation.h"

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/job_record.h"
#include "platform/file_system.h"

namespace arkivo {
namespace {

std::vector<std::u16string> LocalComponents(std::u16string_view text) {
    std::error_code error;
    auto path = platform::PathFromText(text);
    const auto absolute = std::filesystem::absolute(path, error);
    path = (error ? path : absolute).lexically_normal();
    std::vector<std::u16string> components;
    for (const auto& component : path) {
        if (!component.empty()) {
            components.push_back(platform::FileNameKey(component));
        }
    }
    return components;
}

std::vector<std::u16string> FtpComponents(std::u16string_view text) {
    std::vector<std::u16string> components;
    while (!text.empty()) {
        const auto slash = text.find(u'/');
        const auto part = text.substr(0, slash);
        if (!part.empty()) {
            components.emplace_back(part);
        }
        text = slash == std::u16string_view::npos ? std::u16string_view() : text.substr(slash + 1);
    }
    return components;
}

bool StartsWith(const std::vector<std::u16string>& whole,
                const std::vector<std::u16string>& start) {
    if (start.size() > whole.size()) {
        return false;
    }
    for (std::size_t i = 0; i < start.size(); ++i) {
        if (whole[i] != start[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

LocationRelation RelateLocations(std::u16string_view first, std::u16string_view second) {
    if (first.empty() || second.empty()) {
        return LocationRelation::Apart;  // no place at all
    }
    const bool ftp = IsFtpLocation(first);
    if (ftp != IsFtpLocation(second)) {
        return LocationRelation::Apart;
    }
    const auto a = ftp ? FtpComponents(first) : LocalComponents(first);
    const auto b = ftp ? FtpComponents(second) : LocalComponents(second);
    if (a == b) {
        return LocationRelation::Same;
    }
    if (StartsWith(a, b)) {
        return LocationRelation::FirstInsideSecond;
    }
    if (StartsWith(b, a)) {
        return LocationRelation::SecondInsideFirst;
    }
    return LocationRelation::Apart;
}

std::optional<TextKey> CheckBaseAndTarget(std::u16string_view base, std::u16string_view target) {
    switch (RelateLocations(base, target)) {
        case LocationRelation::Same:
            return text::RootBaseIsTarget;
        case LocationRelation::FirstInsideSecond:
            return text::RootBaseInsideTarget;
        default:
            return std::nullopt;
    }
}

}  // namespace arkivo

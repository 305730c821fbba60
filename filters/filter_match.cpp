#include "filters/filter_match.h"

#include "common/text.h"
#include "platform/upper_case.h"
#include "settings/app_stores.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

// The effective patterns of one list: keys 1, 2, ... up to the first missing one, at most 99.
// hasSection tells an absent list from an empty one.
std::vector<std::u16string> EffectivePatterns(CLangIni& store, std::size_t jobIndex,
                                              bool& hasSection) {
    std::vector<std::u16string> patterns;
    const auto section = JobSectionName(jobIndex);
    const int s = store.FindSection(section);
    hasSection = s >= 0;
    if (!hasSection) {
        return patterns;
    }
    for (int k = 1; k <= kMaxEffectivePatterns; ++k) {
        const auto key = ToDecimal(k);
        if (store.FindKey(s, key) < 0) {
            break;
        }
        patterns.push_back(platform::ToUpper(store.GetValue(section, key)));
    }
    return patterns;
}

bool AnyMatches(const std::vector<std::u16string>& upperPatterns, std::u16string_view path) {
    const std::u16string upperPath = platform::ToUpper(path);
    for (const auto& pattern : upperPatterns) {
        if (PatternMatches(pattern, upperPath)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool PatternMatches(std::u16string_view upperPattern, std::u16string_view upperPath) {
    if (upperPath.find(upperPattern) != std::u16string_view::npos) {
        return true;
    }
    return upperPattern.find(u"*.") != std::u16string_view::npos &&
           upperPath.find(upperPattern.substr(1)) != std::u16string_view::npos;
}

JobFilter JobFilter::Load(CLangIni& excludeStore, CLangIni& includeStore, std::size_t jobIndex) {
    JobFilter filter;
    bool ignored = false;
    filter.exclude_ = EffectivePatterns(excludeStore, jobIndex, ignored);
    filter.include_ = EffectivePatterns(includeStore, jobIndex, filter.hasIncludeList_);
    return filter;
}

bool JobFilter::MatchesExclude(std::u16string_view path) const {
    return AnyMatches(exclude_, path);
}

bool JobFilter::MatchesInclude(std::u16string_view path) const {
    return !hasIncludeList_ || AnyMatches(include_, path);
}

bool JobFilter::IsFilteredOut(std::u16string_view path) const {
    return MatchesExclude(path) || !MatchesInclude(path);
}

bool MatchesExcludeList(CLangIni& excludeStore, std::size_t jobIndex, std::u16string_view path) {
    bool hasSection = false;
    return AnyMatches(EffectivePatterns(excludeStore, jobIndex, hasSection), path);
}

bool MatchesIncludeList(CLangIni& includeStore, std::size_t jobIndex, std::u16string_view path) {
    bool hasSection = false;
    const auto patterns = EffectivePatterns(includeStore, jobIndex, hasSection);
    return !hasSection || AnyMatches(patterns, path);
}

bool IsFilteredOut(CLangIni& excludeStore, CLangIni& includeStore, std::size_t jobIndex,
                   std::u16string_view path) {
    return JobFilter::Load(excludeStore, includeStore, jobIndex).IsFilteredOut(path);
}

}  // namespace arkivo

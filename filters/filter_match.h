// Deciding whether a job's exclude and include patterns keep a file out of a run.
//
// A pattern matches a path when, letter case aside, it occurs anywhere in the path; a pattern
// with "*." in it also matches when the pattern without its first character occurs. There are
// no other wildcards, and only the patterns under keys 1 to 99 take effect.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arkivo {

class CLangIni;

inline constexpr int kMaxEffectivePatterns = 99;

bool PatternMatches(std::u16string_view upperPattern, std::u16string_view upperPath);

// The job's two lists as they stand, read once and upper-cased, for the many files of a run.
class JobFilter {
  public:
    static JobFilter Load(CLangIni& excludeStore, CLangIni& includeStore, std::size_t jobIndex);

    bool MatchesExclude(std::u16string_view path) const;
    bool MatchesInclude(std::u16string_view path) const;
    // True when the file takes no part: excluded, or not included.
    bool IsFilteredOut(std::u16string_view path) const;

  private:
    std::vector<std::u16string> exclude_;
    std::vector<std::u16string> include_;
    bool hasIncludeList_ = false;
};

// The same decisions straight from the stores, for a single file.
bool MatchesExcludeList(CLangIni& excludeStore, std::size_t jobIndex, std::u16string_view path);
bool MatchesIncludeList(CLangIni& includeStore, std::size_t jobIndex, std::u16string_view path);
bool IsFilteredOut(CLangIni& excludeStore, CLangIni& includeStore, std::size_t jobIndex,
                   std::u16string_view path);

}  // namespace arkivo

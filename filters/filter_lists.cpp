#include "filters/filter_lists.h"

#include <algorithm>

#include "common/text.h"
#include "filters/filter_match.h"
#include "jobs/environment_file.h"
#include "jobs/job_options.h"
#include "settings/app_stores.h"
#include "settings/data_folder_lock.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

std::vector<std::u16string> AllPatterns(CLangIni& store, const std::u16string& section) {
    std::vector<std::u16string> patterns;
    const int s = store.FindSection(section);
    for (int k = 1; s >= 0; ++k) {
        const auto key = ToDecimal(k);
        if (store.FindKey(s, key) < 0) {
            break;
        }
        patterns.push_back(store.GetValue(section, key));
    }
    return patterns;
}

bool SetFilterSwitch(const std::filesystem::path& environment, std::size_t jobIndex, bool on,
                     CommandOutcome& outcome) {
    LoadStatus failure = LoadStatus::Ok;
    JobOptionAccessors accessors(environment, [&failure](LoadStatus s) { failure = s; });
    accessors.SetJobOption(jobIndex, JobOption::FilterOn, on ? 1 : 0);
    if (failure != LoadStatus::Ok) {
        outcome.messages.push_back(UserMessage::Fixed(EnvironmentErrorText(failure)));
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::u16string> ListPatterns(CLangIni& store, std::size_t jobIndex) {
    store.Reread();
    return AllPatterns(store, JobSectionName(jobIndex));
}

CommandOutcome AddPattern(const std::filesystem::path& environment, CLangIni& store,
                          std::size_t jobIndex, std::u16string_view pattern) {
    CommandOutcome outcome;
    if (pattern.find_first_of(u"\r\n") != std::u16string_view::npos) {
        outcome.messages.push_back(UserMessage::Text(text::FilterLineBreak));
        return outcome;
    }
    const auto section = JobSectionName(jobIndex);
    const DataFolderLock lock(store.Path().parent_path());
    store.Reread();
    const auto existing = AllPatterns(store, section);
    if (existing.size() >= static_cast<std::size_t>(kMaxEffectivePatterns)) {
        outcome.messages.push_back(UserMessage::Text(text::FilterListFull));
        return outcome;
    }
    const auto key = ToDecimalUnsigned(existing.size() + 1);
    StoreValue(store, section, key, pattern);
    outcome.saved = SetFilterSwitch(environment, jobIndex, true, outcome);
    return outcome;
}

CommandOutcome RemovePatterns(const std::filesystem::path& environment, CLangIni& store,
                              CLangIni& otherStore, std::size_t jobIndex,
                              const std::vector<int>& keys) {
    CommandOutcome outcome;
    const auto section = JobSectionName(jobIndex);
    const DataFolderLock lock(store.Path().parent_path());
    store.Reread();
    const auto patterns = AllPatterns(store, section);
    std::vector<std::u16string> kept;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (std::find(keys.begin(), keys.end(), static_cast<int>(i + 1)) == keys.end()) {
            kept.push_back(patterns[i]);
        }
    }
    if (kept.size() == patterns.size()) {
        return outcome;
    }
    // Rewrite the section whole: keys 1..n with no gap, in the old order.
    RemoveSection(store, section);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        StoreValue(store, section, ToDecimalUnsigned(i + 1), kept[i]);
    }
    store.Reread();
    if (kept.empty() && ListPatterns(otherStore, jobIndex).empty()) {
        outcome.saved = SetFilterSwitch(environment, jobIndex, false, outcome);
    } else {
        outcome.saved = true;
    }
    return outcome;
}

bool EditPattern(CLangIni& store, std::size_t jobIndex, int key, std::u16string_view pattern) {
    return StoreValue(store, JobSectionName(jobIndex), ToDecimal(key), pattern);
}

}  // namespace arkivo

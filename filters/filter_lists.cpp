#include "filters/filter_lists.h"

#include <algorithm>

#include "common/text.h"
#include "filters/filter_match.h"
#include "jobs/environment_file.h"
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

// The refusals every way of entering a pattern shares.
bool CheckPattern(std::u16string_view pattern, CommandOutcome& outcome) {
    if (pattern.empty()) {
        outcome.messages.push_back(UserMessage::Text(text::FilterEmpty));
        return false;
    }
    if (pattern.find_first_of(u"\r\n") != std::u16string_view::npos) {
        outcome.messages.push_back(UserMessage::Text(text::FilterLineBreak));
        return false;
    }
    return true;
}

// The pattern goes to the file first: when the file refuses it, the store has not changed.
bool StorePattern(CLangIni& store, const std::u16string& section, const std::u16string& key,
                  std::u16string_view pattern, CommandOutcome& outcome) {
    if (!store.WriteValue(section, key, pattern)) {
        const auto error = store.LastWriteError();
        if (error == std::errc::value_too_large) {
            // The line would be too long for the file: a refusal, not a failure of the file.
            outcome.messages.push_back(UserMessage::Text(text::FilterTooLong));
            return false;
        }
        outcome.messages.push_back(FileWriteFailure(store.Path(), error));
        outcome.error = error;
        return false;
    }
    store.SetValue(section, key, pattern, true);
    return true;
}

// The job list, loaded for a change of the job's lists: the EnvironmentFile holds the data
// folder's lock until the change is over, so the job cannot go away meanwhile.
JobRecord* LoadJob(EnvironmentFile& file, std::size_t jobIndex, CommandOutcome& outcome) {
    JobTable* table = LoadForChange(file, outcome);
    if (table == nullptr) {
        return nullptr;
    }
    if (jobIndex >= table->jobs.size()) {
        outcome.messages.push_back(UserMessage::Text(text::RootNoSuchJob));
        return nullptr;
    }
    return &table->jobs[jobIndex];
}

void SetFilterSwitch(EnvironmentFile& file, JobRecord& job, bool on, CommandOutcome& outcome) {
    const std::uint32_t value = on ? 1 : 0;
    if (job.filterOn != value) {
        job.filterOn = value;
        if (file.Save(file.table()) != LoadStatus::Ok) {
            outcome.messages.push_back(file.SaveProblem());
            outcome.error = file.error();
            return;
        }
    }
    outcome.saved = true;
}

}  // namespace

std::vector<std::u16string> ListPatterns(CLangIni& store, std::size_t jobIndex) {
    store.Reread();
    return AllPatterns(store, JobSectionName(jobIndex));
}

CommandOutcome AddPattern(const std::filesystem::path& environment, CLangIni& store,
                          std::size_t jobIndex, std::u16string_view pattern) {
    CommandOutcome outcome;
    if (!CheckPattern(pattern, outcome)) {
        return outcome;
    }
    EnvironmentFile file(environment);
    JobRecord* job = LoadJob(file, jobIndex, outcome);
    if (job == nullptr) {
        return outcome;
    }
    const auto section = JobSectionName(jobIndex);
    store.Reread();
    const auto existing = AllPatterns(store, section);
    if (existing.size() >= static_cast<std::size_t>(kMaxEffectivePatterns)) {
        outcome.messages.push_back(UserMessage::Text(text::FilterListFull));
        return outcome;
    }
    if (StorePattern(store, section, ToDecimalUnsigned(existing.size() + 1), pattern, outcome)) {
        SetFilterSwitch(file, *job, true, outcome);
    }
    return outcome;
}

CommandOutcome RemovePatterns(const std::filesystem::path& environment, CLangIni& store,
                              CLangIni& otherStore, std::size_t jobIndex,
                              const std::vector<int>& keys) {
    CommandOutcome outcome;
    EnvironmentFile file(environment);
    JobRecord* job = LoadJob(file, jobIndex, outcome);
    if (job == nullptr) {
        return outcome;
    }
    const auto section = JobSectionName(jobIndex);
    store.Reread();
    const auto patterns = AllPatterns(store, section);
    std::vector<std::pair<std::u16string, std::u16string>> kept;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (std::find(keys.begin(), keys.end(), static_cast<int>(i + 1)) == keys.end()) {
            kept.emplace_back(ToDecimalUnsigned(kept.size() + 1), patterns[i]);
        }
    }
    if (kept.size() == patterns.size()) {
        return outcome;
    }
    // The section is rewritten whole: keys 1..n with no gap, in the old order.
    if (!store.WriteSection(section, kept)) {
        outcome.messages.push_back(FileWriteFailure(store.Path(), store.LastWriteError()));
        outcome.error = store.LastWriteError();
        return outcome;
    }
    if (kept.empty() && ListPatterns(otherStore, jobIndex).empty()) {
        SetFilterSwitch(file, *job, false, outcome);
    } else {
        outcome.saved = true;
    }
    return outcome;
}

CommandOutcome EditPattern(CLangIni& store, std::size_t jobIndex, int key,
                           std::u16string_view pattern) {
    CommandOutcome outcome;
    if (!CheckPattern(pattern, outcome)) {
        return outcome;
    }
    const auto section = JobSectionName(jobIndex);
    const DataFolderLock lock(store.Path().parent_path());
    store.Reread();
    if (key < 1 || static_cast<std::size_t>(key) > AllPatterns(store, section).size()) {
        return outcome;
    }
    outcome.saved = StorePattern(store, section, ToDecimal(key), pattern, outcome);
    return outcome;
}

}  // namespace arkivo

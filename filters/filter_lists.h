// Editing a job's exclude and include lists: patterns live under the keys 1, 2, ... n of the
// job's section, without gaps, and the job's filterOn switch says whether any list is in use.
//
// Every change holds the data folder's lock from reading the list to its last write, so
// changes from several processes never undo each other.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/job_commands.h"

namespace arkivo {

class CLangIni;

enum class FilterList { Exclude, Include };

// Every pattern shown for the job, key 1 first (also those past the effective 99), as the
// file holds them now.
std::vector<std::u16string> ListPatterns(CLangIni& store, std::size_t jobIndex);

// Adds a pattern under the next key and switches the job's filters on. A list that already
// holds 99 patterns takes no more: a hundredth would never be used. An empty pattern (it would
// match every file), one with a line break and one too long for its line in the file are
// refused, and nothing is written.
CommandOutcome AddPattern(const std::filesystem::path& environment, CLangIni& store,
                          std::size_t jobIndex, std::u16string_view pattern);

// Removes the patterns under the given keys and closes the gaps. A list emptied this way loses
// its section; the job's filters go off only when its other list is empty too.
CommandOutcome RemovePatterns(const std::filesystem::path& environment, CLangIni& store,
                              CLangIni& otherStore, std::size_t jobIndex,
                              const std::vector<int>& keys);

// Replaces the pattern under one key (an in-place edit); the switch is not touched. Refuses
// what AddPattern refuses, and a key the list no longer has.
CommandOutcome EditPattern(CLangIni& store, std::size_t jobIndex, int key,
                           std::u16string_view pattern);

}  // namespace arkivo

// The environment file "LastSetting.env": the one lasting copy of the job list.
//
// An EnvironmentFile object lives for one operation (load, change, save) and holds the data
// folder's lock for its whole life, so the load-change-save sequences of different threads and
// processes never interleave and no save undoes another one's change. The lock is recursive
// within a process: an operation may consult the file again through a second object.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "jobs/environment_format.h"
#include "jobs/job_record.h"
#include "settings/data_folder_lock.h"
#include "settings/files_together.h"
#include "settings/user_message.h"

namespace arkivo {

inline constexpr std::string_view kEnvironmentFileName = "LastSetting.env";

// The version written into a file this program creates.
inline constexpr std::uint32_t kNewEnvironmentVersion = 1;

class EnvironmentFile {
  public:
    explicit EnvironmentFile(std::filesystem::path path);

    EnvironmentFile(const EnvironmentFile&) = delete;
    EnvironmentFile& operator=(const EnvironmentFile&) = delete;

    // Re-reads the whole file. The returned table's loadStatus tells whether it may be used.
    JobTable& Load();

    // Replaces the file atomically and sets the table's loadStatus to Ok, or to CannotOpen
    // when the file could not be written (the old file then stays as it was).
    LoadStatus Save(JobTable& table);

    // Saves the table and replaces other files of the data folder as one change: whatever
    // moment a crash comes at, the next holder of the lock finds all of them old or all new.
    LoadStatus SaveTogether(JobTable& table, std::vector<FileReplacement> others);

    // The system's reason why the last Load or Save failed to read or write the file.
    std::error_code error() const { return error_; }

    // What to tell the user after a failed Load or Save: the coded text of the damage (for a
    // damaged file followed by the file, the line and the field where reading stopped), the
    // coded "no environment file" for a missing file, else the file and the system's reason.
    UserMessage LoadProblem() const;
    UserMessage SaveProblem() const;

    // These load first; on a failed load they find nothing.
    bool ContainsPair(std::u16string_view base, std::u16string_view target);
    std::size_t FindByBase(std::u16string_view path);
    std::size_t FindByTarget(std::u16string_view path);

    JobTable& table() { return table_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    DataFolderLock lock_;
    std::filesystem::path path_;
    JobTable table_;
    EnvironmentFormatProblem problem_;
    std::error_code error_;
};

// Creates an empty, valid environment file when none exists, so a new user can start without
// one. Returns false when the file is missing and could not be created.
bool EnsureEnvironmentFile(const std::filesystem::path& path);

// The coded texts of the environment errors, shown as they stand in every language.
std::u16string_view EnvironmentErrorText(LoadStatus status);

}  // namespace arkivo

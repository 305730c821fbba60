// One backup job and the fixed table that holds all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace arkivo {

enum class BackupType : std::uint32_t { Sync = 0, Dif = 1, Inc = 2, Spd = 3 };

// Indices of the job fields reached through the option accessors.
enum class JobOption : int {
    FilterOn = 0,
    BackupType = 1,
    ZipOption = 2,
    PeriodStart = 3,
    PeriodEnd = 4,
    LastBackupTime = 5,
    LastSyncTime = 6,
    LastIncTime = 7,
};

namespace JobState {
inline constexpr std::u16string_view NotYet = u"NYET";
inline constexpr std::u16string_view Done = u"DONE";
inline constexpr std::u16string_view Running = u"-ING";
}  // namespace JobState

// Texts live in fields of 255 UTF-16 units with a terminator in the stored format.
inline constexpr std::size_t kMaxJobText = 254;
inline constexpr std::size_t kMaxJobStateText = 4;
inline constexpr std::size_t kMaxJobs = 255;
inline constexpr std::uint32_t kDefaultFtpPort = 21;
inline constexpr std::size_t kNoJobIndex = 65535;

struct JobRecord {
    std::uint32_t checked = 1;
    std::uint32_t jobNumber = 0;
    std::uint32_t filterOn = 0;
    std::uint32_t backupType = 0;
    std::uint32_t zipOption = 0;
    std::uint64_t periodStart = 0;
    std::uint64_t periodEnd = 0;
    std::u16string basePath;
    std::u16string targetPath;
    std::uint64_t lastBackupTime = 0;
    std::uint64_t lastSyncTime = 0;
    std::uint64_t lastIncTime = 0;
    std::u16string state{JobState::NotYet};
    std::u16string baseFtpUser;
    std::u16string baseFtpPassword;
    std::u16string targetFtpUser;
    std::u16string targetFtpPassword;
    std::uint32_t baseFtpPort = kDefaultFtpPort;
    std::uint32_t baseFtpPassive = 1;
    std::uint32_t targetFtpPort = kDefaultFtpPort;
    std::uint32_t targetFtpPassive = 1;

    bool operator==(const JobRecord&) const = default;
};

enum class LoadStatus : std::uint8_t {
    CannotOpen = 0,
    Ok = 1,
    BadFormat = 2,
    OutOfMemory = 3,
    // More job lines than the table holds: loading on would lose jobs at the next save.
    TooManyJobs = 4,
};

inline constexpr std::uint8_t kHasJobList = 1;
inline constexpr std::uint8_t kNoJobList = 0xFF;

struct JobTable {
    std::uint32_t version = 0;
    std::u16string lastBasePath;
    std::u16string lastTargetPath;
    std::vector<JobRecord> jobs;
    LoadStatus loadStatus = LoadStatus::Ok;
    std::uint8_t jobListFlag = kNoJobList;

    std::size_t jobCount() const { return jobs.size(); }
    bool IsFull() const { return jobs.size() >= kMaxJobs; }
    bool operator==(const JobTable&) const = default;
};

// A path names an FTP location when its first four characters are "ftp:" in any case.
bool IsFtpLocation(std::u16string_view path);

struct FtpLocation {
    std::u16string host;
    std::u16string path;  // from the "/" after the host on, so never empty
};

// Splits "ftp://host/folder..." into host and remote path. A location without a "/" after
// the host has no remote folder and is refused.
bool ParseFtpLocation(std::u16string_view location, FtpLocation& out);

// Case-insensitive searches over a loaded table; kNoJobIndex when nothing matches.
std::size_t FindJobByBase(const JobTable& table, std::u16string_view path);
std::size_t FindJobByTarget(const JobTable& table, std::u16string_view path);
bool TableContainsPair(const JobTable& table, std::u16string_view base, std::u16string_view target);

}  // namespace arkivo

// What a run is asked to do, and the per-job switches it works with.
#pragma once

#include <cstdint>
#include <vector>

namespace arkivo::engine {

struct RunOptions {
    // Report what would be copied and deleted; write nothing at all.
    bool dryRun = false;
    // Re-read every archive a job wrote and check each entry; a bad one fails the job.
    bool verifyArchives = false;
    // Run exactly these jobs (0-based, in table order), ticked or not; empty means the ticked.
    std::vector<std::size_t> jobs;
};

// The per-job bit set built at the job's start.
namespace RunFlag {
inline constexpr std::uint32_t FilterOn = 0x01;
inline constexpr std::uint32_t ReportOn = 0x02;
inline constexpr std::uint32_t ReportCreated = 0x04;
inline constexpr std::uint32_t ReportUpdated = 0x08;
inline constexpr std::uint32_t ReportDeleted = 0x10;
}  // namespace RunFlag

using RunFlags = std::uint32_t;

}  // namespace arkivo::engine

#include "cli/run_json.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "cli/archive_check_text.h"
#include "cli/json_name.h"
#include "cli/run_result.h"

namespace arkivo::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr int kSchemaVersion = 1;

// ISO 8601 local time with the offset from UTC: "2024-05-01T10:00:00+02:00".
std::string LocalTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    char offset[8] = "+0000";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(offset, sizeof offset, "%z", &local);
    // "+0200" as ISO 8601 writes it within a time: "+02:00".
    char text[48];
    std::snprintf(text, sizeof text, "%s%.3s:%.2s", stamp, offset, offset + 3);
    return text;
}

json Skipped(std::uint64_t dotFolders, std::uint64_t folderLinks, std::uint64_t specialFiles) {
    return {
        {"dotFolders", dotFolders}, {"folderLinks", folderLinks}, {"specialFiles", specialFiles}};
}

const char* SkipName(engine::SkipReason reason) {
    switch (reason) {
        case engine::SkipReason::DotFolder:
            return "dot-folder";
        case engine::SkipReason::FolderLink:
            return "folder-link";
        case engine::SkipReason::SpecialFile:
            return "special-file";
    }
    return "special-file";
}

json Job(const JobResult& job) {
    const auto& s = job.summary;
    json object = {{"job", s.jobIndex + 1}};
    PutName(object, "base", job.base);
    PutName(object, "target", job.target);
    object["examined"] = s.examined;
    object["copied"] = s.copied;
    object["deleted"] = s.deleted;
    object["failed"] = s.failed;
    object["bytesWritten"] = s.bytesCopied;
    object["skipped"] = Skipped(s.skippedDotFolders, s.skippedFolderLinks, s.skippedSpecialFiles);
    object["stopped"] = s.stopped;
    return object;
}

json Failure(const FailureRecord& failure) {
    json object = json::object();
    PutName(object, "path", failure.path);
    if (failure.destination.empty()) {
        object["destination"] = nullptr;
    } else {
        PutName(object, "destination", failure.destination);
    }
    object["error"] = failure.reason;
    return object;
}

json Damaged(const DamagedArchive& damaged) {
    json object = json::object();
    PutName(object, "archive", damaged.archive);
    object["problem"] = ArchiveCheckText(damaged.verdict.status);
    json entries = json::array();
    for (const auto& entry : damaged.verdict.entries) {
        if (entry.check != zip::EntryCheck::Ok) {
            json item = json::object();
            PutName(item, "name", entry.name);
            item["problem"] = EntryCheckText(entry.check);
            entries.push_back(std::move(item));
        }
    }
    object["entries"] = std::move(entries);
    return object;
}

}  // namespace

std::string RunJson(const RunRecord& record) {
    const auto& s = record.summary;
    const RunResult result = ResultOf(s);
    json object = {{"version", kSchemaVersion},
                   {"result", ResultName(result)},
                   {"exitCode", static_cast<int>(ExitCodeOf(result))},
                   {"dryRun", record.dryRun},
                   {"started", LocalTime(record.started)},
                   {"seconds", std::round(record.seconds * 1000) / 1000},
                   {"jobsRun", s.jobsRun},
                   {"examined", s.examined},
                   {"copied", s.copied},
                   {"deleted", s.deleted},
                   {"failed", s.failed},
                   {"bytesWritten", s.bytesCopied}};
    object["bytesPerSecond"] =
        record.seconds > 0 ? std::llround(static_cast<double>(s.bytesCopied) / record.seconds) : 0;
    object["skipped"] = Skipped(s.skippedDotFolders, s.skippedFolderLinks, s.skippedSpecialFiles);
    if (record.verify && !record.dryRun) {
        object["verified"] = {{"archives", s.archivesVerified},
                              {"entries", s.entriesVerified},
                              {"damagedArchives", s.archivesDamaged}};
    } else {
        object["verified"] = nullptr;
    }
    if (record.reportFile.empty()) {
        object["report"] = nullptr;
    } else {
        PutName(object, "report", record.reportFile);
    }
    object["jobs"] = json::array();
    for (const auto& job : record.jobs) {
        object["jobs"].push_back(Job(job));
    }
    object["failures"] = json::array();
    for (const auto& failure : record.failures) {
        object["failures"].push_back(Failure(failure));
    }
    object["skippedItems"] = json::array();
    for (const auto& skipped : record.skipped) {
        json item = json::object();
        PutName(item, "path", skipped.path);
        item["reason"] = SkipName(skipped.reason);
        object["skippedItems"].push_back(std::move(item));
    }
    object["damagedArchives"] = json::array();
    for (const auto& damaged : record.damagedArchives) {
        object["damagedArchives"].push_back(Damaged(damaged));
    }
    object["messages"] = record.messages;
    // Every name was made valid above; replacing is only the last guard against a throw.
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace arkivo::cli

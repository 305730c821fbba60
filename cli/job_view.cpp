#include "cli/job_view.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/console.h"
#include "cli/job_setting_arguments.h"
#include "common/text.h"
#include "jobs/job_period.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace arkivo::cli {
namespace {

bool IsWide(char16_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

// Terminal columns of UTF-8 text: East Asian wide characters take two.
std::size_t DisplayWidth(const std::string& text) {
    std::size_t width = 0;
    for (char16_t c : Utf8ToUtf16(text)) {
        if (c >= 0xDC00 && c <= 0xDFFF) {
            continue;
        }
        width += (IsWide(c) || (c >= 0xD800 && c <= 0xDBFF)) ? 2 : 1;
    }
    return width;
}

std::string Pad(const std::string& text, std::size_t width) {
    const auto used = DisplayWidth(text);
    return text + std::string(width > used ? width - used : 0, ' ');
}

std::string SideText(const std::u16string& path, const std::u16string& user) {
    std::string text = Narrow(path);
    if (IsFtpLocation(path) && !user.empty()) {
        text += " (" + Narrow(user) + ")";
    }
    return text;
}

std::string TypeExplained(BackupType type) {
    switch (type) {
        case BackupType::Sync:
            return "the target becomes a mirror of the base";
        case BackupType::Dif:
            return "what the target lacks or holds in an older version goes into a dated DIF_ "
                   "folder";
        case BackupType::Inc:
            return "what changed since the last incremental run goes into a dated INC_ folder";
        case BackupType::Spd:
            return "what changed within the period goes into a dated SPD_ folder";
    }
    return "runs refuse this job";
}

std::string Count(std::size_t count, const std::string& what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// Runs move the period's start to their own start, so the next run takes what changed since.
std::string PeriodShown(const JobRecord& job, std::size_t jobIndex) {
    const auto period = PeriodOf(job);
    if (!period) {
        return "none: runs refuse this job until it has one (arkivo jobs set " +
               std::to_string(jobIndex + 1) + " --period FROM TO)";
    }
    std::string text = PeriodText(*period);
    if (period->first >= period->pastLast) {
        text += " (over: runs copy nothing until a new period is set)";
    }
    return text;
}

}  // namespace

std::string TypeName(std::uint32_t backupType) {
    switch (backupType) {
        case 0:
            return "sync";
        case 1:
            return "dif";
        case 2:
            return "inc";
        case 3:
            return "spd";
        default:
            return "type " + std::to_string(backupType);
    }
}

std::string DateText(std::uint64_t unixSeconds) {
    if (unixSeconds == 0) {
        return "never";
    }
    const auto local = platform::ToLocalTime(static_cast<std::int64_t>(unixSeconds));
    if (!local) {
        return "?";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", local->year, local->month,
                  local->day, local->hour, local->minute);
    return buffer;
}

void PrintJobTable(std::ostream& out, const JobTable& table, const std::vector<bool>& toCopy) {
    if (table.jobs.empty()) {
        out << "No jobs yet. Add one with: arkivo jobs add BASE TARGET\n";
        return;
    }
    const std::vector<std::string> headings = {"NO",   "RUN",    "TYPE",        "TO COPY",
                                               "BASE", "TARGET", "LAST UPDATED"};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        const auto& job = table.jobs[i];
        std::string type = TypeName(job.backupType);
        if (job.zipOption && job.backupType != 0) {
            type += "+zip";
        }
        const bool marked = i < toCopy.size() && toCopy[i];
        rows.push_back({std::to_string(i + 1), job.checked ? "[x]" : "[ ]", type,
                        marked ? "yes" : "-", SideText(job.basePath, job.baseFtpUser),
                        SideText(job.targetPath, job.targetFtpUser), DateText(job.lastBackupTime)});
    }
    std::vector<std::size_t> widths;
    for (const auto& h : headings) {
        widths.push_back(h.size());
    }
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    auto printRow = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += c + 1 == row.size() ? row[c] : Pad(row[c], widths[c] + 2);
        }
        out << line << '\n';
    };
    printRow(headings);
    for (const auto& row : rows) {
        printRow(row);
    }
}

void PrintJobDetails(std::ostream& out, const JobRecord& job, std::size_t jobIndex,
                     const JobSwitches& switches) {
    auto line = [&out](const std::string& label, const std::string& value) {
        out << Pad(label, 18) << value << '\n';
    };
    auto ftp = [&](const std::string& side, const std::u16string& path, const std::u16string& user,
                   const std::u16string& password, std::uint32_t port, std::uint32_t passive) {
        if (!IsFtpLocation(path)) {
            return;
        }
        line(side + " FTP", "user " + Narrow(user) + ", port " + std::to_string(port) +
                                (passive ? ", passive mode" : ", active mode") +
                                (password.empty() ? ", no password" : ", password set"));
    };
    const auto type = static_cast<BackupType>(job.backupType);
    line("Job", std::to_string(jobIndex + 1));
    line("Ticked", job.checked ? "yes" : "no");
    line("Type", TypeInWords(job.backupType) + " (" + TypeName(job.backupType) +
                     "): " + TypeExplained(type));
    if (type == BackupType::Spd) {
        line("Period", PeriodShown(job, jobIndex));
    }
    line("ZIP archive", type == BackupType::Sync
                            ? "does not apply (a synchronisation writes no archive)"
                            : (job.zipOption ? "on" : "off"));
    line("Sync delete",
         type != BackupType::Sync
             ? "does not apply (only a synchronisation deletes)"
             : (switches.syncDelete ? "on: target files the base no longer has are deleted"
                                    : "off"));
    line("Dot folders", switches.dotFolders
                            ? "on: folders whose names begin with '.' are backed up"
                            : "off: folders whose names begin with '.' are left out");
    line("Filters", std::string(job.filterOn ? "on" : "off") + ", " +
                        Count(switches.excludePatterns, "exclude pattern") + ", " +
                        Count(switches.includePatterns, "include pattern"));
    line("Base", ShownPath(platform::PathFromText(job.basePath)));
    ftp("Base", job.basePath, job.baseFtpUser, job.baseFtpPassword, job.baseFtpPort,
        job.baseFtpPassive);
    line("Target", ShownPath(platform::PathFromText(job.targetPath)));
    ftp("Target", job.targetPath, job.targetFtpUser, job.targetFtpPassword, job.targetFtpPort,
        job.targetFtpPassive);
    line("Last backup", DateText(job.lastBackupTime));
    line("Last sync", DateText(job.lastSyncTime));
    line("Last incremental", DateText(job.lastIncTime));
    line("State", Narrow(job.state));
}

}  // namespace arkivo::cli

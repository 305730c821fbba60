#include "cli/run_summary_text.h"

#include <ostream>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/quantities.h"
#include "cli/run_result.h"
#include "common/text.h"
#include "settings/lang_ini.h"

namespace arkivo::cli {
namespace {

struct SkipCounts {
    std::uint64_t dotFolders;
    std::uint64_t folderLinks;
    std::uint64_t specialFiles;
};

std::vector<std::string> SkipPhrases(const SkipCounts& counts) {
    std::vector<std::string> phrases;
    if (counts.dotFolders > 0) {
        phrases.push_back(Counted(counts.dotFolders, "folder whose name begins with '.'",
                                  "folders whose names begin with '.'"));
    }
    if (counts.folderLinks > 0) {
        phrases.push_back(Counted(counts.folderLinks, "link to a folder", "links to folders"));
    }
    if (counts.specialFiles > 0) {
        phrases.push_back(Counted(counts.specialFiles, "special file (socket, FIFO or device)",
                                  "special files (sockets, FIFOs or devices)"));
    }
    return phrases;
}

std::string Joined(const std::vector<std::string>& phrases) {
    std::string text;
    for (const auto& phrase : phrases) {
        text += (text.empty() ? "" : ", ") + phrase;
    }
    return text;
}

// "would copy 3 files (1,234 bytes), would delete 0"
std::string Planned(std::uint64_t copies, std::uint64_t bytes, std::uint64_t deletions) {
    return "would copy " + Counted(copies, "file", "files") + " (" +
           Counted(bytes, "byte", "bytes") + "), would delete " + Grouped(deletions);
}

void PrintVerified(std::ostream& out, const engine::RunSummary& s) {
    out << "Verified: " << Counted(s.archivesVerified, "archive", "archives") << ", "
        << Counted(s.entriesVerified, "entry", "entries");
    if (s.archivesDamaged == 0) {
        out << ", all intact\n";
    } else {
        out << "; " << Counted(s.archivesDamaged, "archive", "archives")
            << " damaged (see the messages above)\n";
    }
}

}  // namespace

void PrintJobResult(std::ostream& out, const engine::JobSummary& job, bool dryRun) {
    out << "Job " << job.jobIndex + 1 << ": ";
    if (dryRun) {
        out << Planned(job.copied, job.bytesCopied, job.deleted) << ", " << Grouped(job.examined)
            << " examined";
    } else {
        out << Grouped(job.copied) << " copied, " << Grouped(job.deleted) << " deleted, "
            << Grouped(job.failed) << " failed, " << Grouped(job.examined) << " examined";
    }
    out << (job.stopped ? " (stopped)" : "") << '\n';
    for (const auto& phrase :
         SkipPhrases({job.skippedDotFolders, job.skippedFolderLinks, job.skippedSpecialFiles})) {
        out << (dryRun ? "  would skip " : "  skipped ") << phrase << '\n';
    }
}

void PrintRunSummary(std::ostream& out, const RunRecord& record, CLangIni& language,
                     std::u16string_view completeText) {
    const auto& s = record.summary;
    const RunResult result = ResultOf(s);
    if (result == RunResult::Refused || result == RunResult::Unreadable) {
        return;
    }
    if (s.jobsRun == 0) {
        if (result == RunResult::NothingToRun) {
            PrintLine(out, language.GetValue(text::RunNothingToRun));
        } else {
            PrintLine(out, language.GetValue(text::RunStopped));
        }
        return;
    }
    const auto skipped =
        Joined(SkipPhrases({s.skippedDotFolders, s.skippedFolderLinks, s.skippedSpecialFiles}));
    const std::string jobs = Counted(s.jobsRun, "job", "jobs");
    const std::string examined = Counted(s.examined, "file", "files") + " examined";
    if (record.dryRun) {
        out << "Summary (dry run): " << jobs << ", " << examined << ", "
            << Planned(s.copied, s.bytesCopied, s.deleted) << '\n';
        if (!skipped.empty()) {
            out << "Would skip: " << skipped << '\n';
        }
        out << "Time: " << Duration(record.seconds) << '\n';
    } else {
        out << "Summary: " << jobs << " run, " << examined << ", " << Grouped(s.copied)
            << " copied, " << Grouped(s.deleted) << " deleted, " << Grouped(s.failed)
            << " failed\n";
        if (!skipped.empty()) {
            out << "Skipped: " << skipped << '\n';
        }
        out << "Written: " << ByteSize(s.bytesCopied) << " in " << Duration(record.seconds) << " ("
            << Rate(s.bytesCopied, record.seconds) << ")\n";
        if (record.verify) {
            PrintVerified(out, s);
        }
    }
    if (!record.reportFile.empty()) {
        out << "Report: " << ShownPath(record.reportFile) << '\n';
    }
    switch (result) {
        case RunResult::Stopped:
            PrintLine(out, language.GetValue(text::RunStopped));
            break;
        case RunResult::Failed:
            // A report that could not be written was told on standard error when it happened.
            if (s.failed > 0) {
                PrintLine(out,
                          Resolve(language, UserMessage::TextWith(text::RunEndedWithFailures,
                                                                  ToDecimalUnsigned(s.failed))));
            }
            break;
        default:
            PrintLine(out, record.dryRun ? language.GetValue(text::RunDryRunDone)
                                         : std::u16string(completeText));
            break;
    }
}

}  // namespace arkivo::cli

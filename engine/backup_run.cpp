#include "engine/backup_run.h"

#include <algorithm>
#include <optional>

#include "common/text.h"
#include "engine/job_run.h"
#include "engine/run_controller.h"
#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/target_overlap.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "report/backup_report.h"
#include "settings/app_stores.h"
#include "settings/data_folder_lock.h"
#include "settings/run_lock.h"

namespace arkivo::engine {
namespace {

bool Wanted(const RunOptions& options, RunObserver& observer, std::size_t index,
            const JobRecord& job) {
    if (!options.jobs.empty()) {
        return std::find(options.jobs.begin(), options.jobs.end(), index) != options.jobs.end();
    }
    return observer.IsJobTicked(index, job.checked != 0);
}

// Tells once that the report is not whole, with the system's reason.
void CheckReport(const BackupReport& report, RunSummary& summary, RunObserver& observer,
                 CLangIni& language) {
    const auto error = report.Error();
    if (!error || summary.reportFailed) {
        return;
    }
    summary.reportFailed = true;
    observer.OnMessage(UserMessage::Fixed(language.GetValue(text::RunReportFailed) +
                                          platform::PathText(report.ReportPath()) + u": " +
                                          Utf8ToUtf16(error.message())));
}

// Two jobs of this run whose targets overlap while one deletes what its base lacks would delete
// each other's files: the run goes ahead (the user chose both), but says so first.
void WarnOfTargetConflicts(const JobTable& table, const RunOptions& options, CLangIni& setting,
                           RunObserver& observer) {
    auto runs = [&](std::size_t index) {
        return options.jobs.empty() ? table.jobs[index].checked != 0
                                    : std::find(options.jobs.begin(), options.jobs.end(), index) !=
                                          options.jobs.end();
    };
    std::vector<TargetConflict> conflicts;
    for (const auto& conflict : FindTargetConflicts(table, setting)) {
        if (runs(conflict.first) && runs(conflict.second)) {
            conflicts.push_back(conflict);
        }
    }
    for (const auto& warning : TargetConflictWarnings(conflicts)) {
        observer.OnMessage(warning);
    }
}

}  // namespace

RunSummary RunBackup(AppStores& stores, RunObserver& observer, RunController& control,
                     const RunOptions& options) {
    RunSummary summary;
    const RunLock runLock(stores.programFolder);
    if (runLock.Refused()) {
        summary.refused = true;
        observer.OnMessage(UserMessage::Text(text::RunAnotherInProgress));
        observer.OnRunFinished(summary, {});
        return summary;
    }
    JobTable table;
    {
        // Other processes may have changed the job list and the settings since this one read
        // them: the run works with what the files say now, read as one consistent state.
        const DataFolderLock lock(stores.programFolder);
        for (CLangIni* store :
             {&stores.option, &stores.filter, &stores.filterInc, &stores.setting}) {
            store->Reread();
        }
        EnvironmentFile file(stores.EnvironmentPath());
        table = file.Load();
        if (table.loadStatus != LoadStatus::Ok) {
            observer.OnMessage(file.LoadProblem());
        }
    }
    summary.environmentReadable = table.loadStatus == LoadStatus::Ok;
    if (!summary.environmentReadable) {
        table.jobs.clear();
    }
    WarnOfTargetConflicts(table, options, stores.setting, observer);
    std::optional<BackupReport> report;
    const bool reportOn = ReadNumber(stores.option, text::ReportOn.section, text::ReportOn.key) & 1;
    RunEnvironment run{stores, observer, control, nullptr, options};
    // Opened with the first job that runs: a run with nothing to do leaves no report.
    auto openReport = [&] {
        if (options.dryRun || !reportOn || report) {
            return;
        }
        // Reports go to the current folder; one that is gone shows as a report not written.
        std::error_code noFolder;
        report.emplace(stores.language, std::filesystem::current_path(noFolder));
        if (report->OpenReportFile(platform::NowUnixSeconds())) {
            summary.reportFile = report->ReportPath();
        }
        CheckReport(*report, summary, observer, stores.language);
        run.report = &*report;
    };
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        if (control.StopRequested()) {
            summary.stopped = true;
            break;
        }
        JobRecord& job = table.jobs[i];
        const bool wanted = Wanted(options, observer, i, job);
        if (options.jobs.empty()) {
            job.checked = wanted ? 1 : 0;
        }
        if (!wanted) {
            continue;
        }
        openReport();
        const JobSummary result = RunJob(run, i, job);
        if (!options.dryRun) {
            WriteFileToCopyFlag(stores.setting, i, 0);
        }
        summary.Add(result);
        observer.OnJobFinished(result);
    }
    if (report) {
        report->CloseReport();
        CheckReport(*report, summary, observer, stores.language);
    }
    observer.OnRunFinished(summary, stores.language.GetValue(text::RunComplete));
    return summary;
}

}  // namespace arkivo::engine

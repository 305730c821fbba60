#include "engine/backup_run.h"

#include <algorithm>
#include <optional>

#include "engine/job_run.h"
#include "engine/run_controller.h"
#include "jobs/environment_file.h"
#include "platform/clock.h"
#include "report/backup_report.h"
#include "schedule/job_flags.h"
#include "settings/app_stores.h"
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
    std::optional<BackupReport> report;
    if (!options.dryRun) {
        report.emplace(stores.language, std::filesystem::current_path());
        if (report->OpenReportFile(platform::NowUnixSeconds())) {
            summary.reportFile = report->ReportPath();
        }
    }
    JobTable table;
    {
        EnvironmentFile file(stores.EnvironmentPath());
        table = file.Load();
    }
    summary.environmentReadable = table.loadStatus == LoadStatus::Ok;
    if (!summary.environmentReadable) {
        table.jobs.clear();
        observer.OnMessage(UserMessage::Fixed(EnvironmentErrorText(table.loadStatus)));
    }
    RunEnvironment run{stores, observer, control, report ? &*report : nullptr, options};
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
        JobSummary result;
        result.jobIndex = i;
        if (IsFtpLocation(job.basePath) || IsFtpLocation(job.targetPath)) {
            // Remote routes come with the FTP client; until then the job cannot be done.
            observer.OnJobStarted(i, job.basePath, job.targetPath);
            observer.OnMessage(UserMessage::Text(text::RunFtpUnavailable));
            result.failed = 1;
        } else {
            result = RunJobLocalToLocal(run, i, job);
        }
        if (!options.dryRun) {
            WriteFileToCopyFlag(stores.setting, i, 0);
        }
        ++summary.jobsRun;
        summary.copied += result.copied;
        summary.deleted += result.deleted;
        summary.failed += result.failed;
        summary.stopped = summary.stopped || result.stopped;
        observer.OnJobFinished(result);
    }
    if (report) {
        report->CloseReport();
    }
    observer.OnRunFinished(summary, stores.language.GetValue(text::RunComplete));
    return summary;
}

}  // namespace arkivo::engine

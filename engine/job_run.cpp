#include "engine/job_run.h"

#include <algorithm>

#include "common/text.h"
#include "engine/copy_rules.h"
#include "engine/dated_name.h"
#include "engine/job_context.h"
#include "engine/job_sides.h"
#include "engine/job_walk.h"
#include "engine/run_controller.h"
#include "engine/target_side.h"
#include "engine/tree_walker.h"
#include "engine/zip_destination.h"
#include "jobs/job_commands.h"
#include "jobs/job_flags.h"
#include "jobs/job_options.h"
#include "jobs/job_period.h"
#include "jobs/job_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "report/backup_report.h"
#include "settings/app_stores.h"
#include "settings/lang_ini.h"
#include "zip/verify.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

RunFlags ReadRunFlags(AppStores& stores, bool filterOn) {
    RunFlags flags = filterOn ? RunFlag::FilterOn : 0;
    auto bit = [&stores](const TextKey& key, RunFlags value) -> RunFlags {
        return (ReadNumber(stores.option, key.section, key.key) & 1) ? value : 0;
    };
    flags |= bit(text::ReportOn, RunFlag::ReportOn);
    flags |= bit(text::ReportCreatedOn, RunFlag::ReportCreated);
    flags |= bit(text::ReportUpdatedOn, RunFlag::ReportUpdated);
    flags |= bit(text::ReportDeletedOn, RunFlag::ReportDeleted);
    return flags;
}

void BeginJobReport(BackupReport* report, RunFlags flags, std::size_t jobIndex,
                    const JobRecord& job) {
    if (report == nullptr) {
        return;
    }
    if (flags & RunFlag::ReportOn) {
        report->WriteJobHead(jobIndex + 1);
        report->WriteBaseLine(job.basePath);
        report->WriteTargetLine(job.targetPath);
        report->WriteStartTimeLine();
    }
    report->OpenFileLists();
}

void EndJobReport(BackupReport* report, RunFlags flags, const JobSummary& summary,
                  CLangIni& language) {
    if (report == nullptr || !(flags & RunFlag::ReportOn)) {
        return;
    }
    if (summary.stopped) {
        report->WriteNoteLine(language.GetValue(text::ReportStopped));
    }
    report->WriteCopiedCountLine(summary.copied);
    report->WriteFailedCountLine(summary.failed);
    report->WriteElapsedLine(platform::NowUnixSeconds());
    report->WriteFileSections();
    report->DeleteFileLists();
}

// A period without an end holds nothing: the run would copy nothing and look complete. The job
// is refused instead, counted as failed, and its times stay as they are.
JobSummary RefuseWithoutPeriod(RunEnvironment& run, std::size_t jobIndex, const JobRecord& job) {
    const auto message = UserMessage::TextWith(text::RunNoPeriod, PeriodCommandDetail(jobIndex));
    run.observer.OnMessage(message);
    JobSummary summary;
    summary.jobIndex = jobIndex;
    summary.failed = 1;
    const RunFlags flags = ReadRunFlags(run.stores, job.filterOn != 0);
    BeginJobReport(run.report, flags, jobIndex, job);
    if (run.report != nullptr && (flags & RunFlag::ReportOn)) {
        run.report->WriteNoteLine(Resolve(run.stores.language, message));
    }
    EndJobReport(run.report, flags, summary, run.stores.language);
    return summary;
}

std::u16string_view DatedPrefix(BackupType type) {
    switch (type) {
        case BackupType::Inc:
            return kIncPrefix;
        case BackupType::Spd:
            return kSpdPrefix;
        default:
            return kDifPrefix;
    }
}

// The destination a walk writes to, or in a dry run the one that only plans.
std::unique_ptr<Destination> DestinationFor(RunEnvironment& run, TargetSide& target,
                                            const fs::path& inside) {
    if (run.options.dryRun) {
        return std::make_unique<PlannedDestination>(target.Reference().FullPath(inside),
                                                    run.observer);
    }
    return target.Folder(inside);
}

void RunSync(RunEnvironment& run, JobContext& job, const JobRecord& record, FileTree& source,
             TargetSide& target) {
    if (target.Refused(job)) {
        return;
    }
    const auto destination = DestinationFor(run, target, fs::path());
    // An upload takes the time of its transfer: a copy newer than its source is up to date.
    const std::unique_ptr<CopyRule> rule = target.KeepsSourceTimes()
                                               ? RuleFor(BackupType::Sync, record)
                                               : std::make_unique<NewerThanReference>();
    // A target that takes no files has none to delete either: its one failure says why.
    if (!WalkTree(job, {source, &target.Reference(), *destination, *rule, ReportStyle::ByReference,
                        true})) {
        return;
    }

    auto& setting = run.stores.setting;
    const long long deleteOrphans =
        run.options.dryRun ? ReadNumber(setting, JobSectionName(job.jobIndex()), u"SyncDelNoSrc")
                           : ReadSyncDelNoSrc(setting, job.jobIndex());
    if (deleteOrphans == 1) {
        const auto skipped = run.stores.language.GetValue(text::ReportDeletionSkipped);
        const auto unreadable = run.stores.language.GetValue(text::ReportFolderUnreadable);
        target.DeleteOrphans(job, source, {skipped, unreadable});
    }
}

// The dated output as a folder, or in ZIP mode as one archive.
void RunDated(RunEnvironment& run, JobContext& job, BackupType type, const JobRecord& record,
              FileTree& source, TargetSide& target) {
    if (target.Refused(job)) {
        return;
    }
    const auto prefix = DatedPrefix(type);
    if (!run.options.dryRun) {
        target.RemoveLeftovers(prefix);
    }
    const std::u16string name = MakeDatedFolderName(prefix, platform::NowUnixSeconds());
    const auto rule = RuleFor(type, record);
    const ReportStyle style =
        type == BackupType::Dif ? ReportStyle::ByReference : ReportStyle::AllCreated;
    auto walk = [&](Destination& destination) {
        WalkTree(job, {source, &target.Reference(), destination, *rule, style});
    };
    if (!record.zipOption) {
        walk(*DestinationFor(run, target, platform::PathFromText(name)));
        return;
    }
    fs::path archiveFolder;
    if (auto error = target.ArchiveFolder(archiveFolder)) {
        job.Failed(target.Reference().FullPath(fs::path()), error);
        return;
    }
    std::u16string entryPrefix;
    const fs::path archive =
        target.ArchivePath(archiveFolder, name, type == BackupType::Dif, entryPrefix);
    if (run.options.dryRun) {
        PlannedDestination planned(archive / platform::PathFromText(entryPrefix), run.observer);
        walk(planned);
        return;
    }
    ZipDestination zip(archiveFolder, archive, entryPrefix, run.observer);
    walk(zip);
    // The entries exist only if the archive does: without it nothing of the job was kept.
    if (auto error = zip.Finish()) {
        job.WithdrawCopies();
        job.Failed(archive, error);
        return;
    }
    if (run.options.verifyArchives && platform::Exists(archive)) {
        const auto verdict = zip::VerifyZipArchive(archive);
        ++job.summary.archivesVerified;
        job.summary.entriesVerified += verdict.entries.size();
        run.observer.OnArchiveVerified(archive, verdict);
        if (verdict.status != zip::ArchiveCheck::Ok) {
            ++job.summary.archivesDamaged;
            job.WithdrawCopies();
            job.Failed(archive, std::make_error_code(std::errc::io_error));
            return;
        }
    }
    if (!platform::Exists(archive)) {
        return;  // nothing was copied, so there is no archive to deliver
    }
    if (auto error = target.DeliverArchive(archive)) {
        job.WithdrawCopies();
        job.Failed(archive, error);
    }
}

}  // namespace

fs::path NormalisedRoot(std::u16string_view typed) {
    fs::path path = platform::PathFromText(typed).lexically_normal();
    while (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

bool IsWithin(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (i == inner.end() || platform::FileNameKey(*i) != platform::FileNameKey(*o)) {
            return false;
        }
    }
    return true;
}

JobSummary RunJob(RunEnvironment& run, std::size_t jobIndex, const JobRecord& job) {
    auto& language = run.stores.language;
    run.observer.OnJobStarted(jobIndex, job.basePath, job.targetPath);
    if (job.backupType == static_cast<std::uint32_t>(BackupType::Spd) && !HasPeriod(job)) {
        return RefuseWithoutPeriod(run, jobIndex, job);
    }
    run.observer.OnAnalysis(jobIndex, true);
    run.observer.OnAnimation(Animation::Copy);
    run.observer.OnStatus(language.GetValue(text::StaticEstimate));

    const JobWalk walk = PrepareJobWalk(run.stores, jobIndex, job);
    const RunFlags flags = ReadRunFlags(run.stores, job.filterOn != 0);
    JobContext context(jobIndex, flags, walk.Filter(), run.observer, run.control, run.report,
                       run.options.dryRun);
    walk.Prepare(context);
    JobSides sides = OpenJobSides(run, context, job, walk);
    if (sides.refusal) {
        BeginJobReport(run.report, flags, jobIndex, job);
        context.Refused(sides.refusal->where, sides.refusal->why);
        EndJobReport(run.report, flags, context.summary, language);
        run.observer.OnAnalysis(jobIndex, false);
        run.observer.OnProgressRange(0);
        return context.summary;
    }
    FileTree& base = *sides.base;
    TargetSide& target = *sides.target;

    const bool counting = run.observer.ShowsProgress();
    const std::uint64_t count = counting ? CountFiles(context, base) : 0;
    run.observer.OnAnimation(Animation::Delete);
    run.observer.OnAnalysis(jobIndex, false);
    if (counting) {
        run.observer.OnProgressRange(count);
    }
    run.observer.OnStatus(language.GetValue(text::StaticCopying));

    BeginJobReport(run.report, flags, jobIndex, job);
    const auto walkStart = static_cast<std::uint64_t>(platform::NowUnixSeconds());
    const auto type = static_cast<BackupType>(job.backupType);
    if (!run.options.dryRun) {
        target.BeginWriting();
        // A run that copies and deletes nothing never makes the disk flush.
        context.WhenWritingBegins([&target] { target.WritingBegan(); });
    }
    switch (type) {
        case BackupType::Sync:
            RunSync(run, context, job, base, target);
            break;
        case BackupType::Dif:
        case BackupType::Inc:
        case BackupType::Spd:
            RunDated(run, context, type, job, base, target);
            break;
        default:
            // A type no run knows (a hand-edited list): nothing was backed up, and the run
            // must not look complete.
            run.observer.OnMessage(UserMessage::Fixed(u"ERROR-0x0001"));
            context.NoteLine(u"ERROR-0x0001: backup type " + ToDecimalUnsigned(job.backupType));
            ++context.summary.failed;
            break;
    }
    if (!run.options.dryRun && (context.summary.copied > 0 || context.summary.deleted > 0)) {
        // The times stamped below promise that what was copied is kept: put it on disk first.
        if (auto error = target.Flush()) {
            context.Failed(target.Reference().FullPath(fs::path()), error);
        }
    }
    EndJobReport(run.report, flags, context.summary, language);

    if (!run.options.dryRun) {
        // The next incremental or period run copies what changed after the walk began. Times
        // are whole seconds and compared strictly, so a file changed in the very second the
        // walk began counts as changed after the second before.
        const RunStamp stamp{static_cast<std::uint64_t>(platform::NowUnixSeconds()), walkStart - 1,
                             !context.summary.stopped && context.summary.failed == 0};
        RecordJobRun(run.stores.EnvironmentPath(), jobIndex, job, stamp);
    }
    run.observer.OnProgressRange(0);
    return context.summary;
}

}  // namespace arkivo::engine

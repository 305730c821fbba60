// A data folder with its stores and environment file, jobs added the way users add them, and
// runs started on a worker thread with an observer that records what the run said.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/dated_name.h"
#include "engine/run_controller.h"
#include "jobs/environment_file.h"
#include "jobs/job_commands.h"
#include "platform/clock.h"
#include "settings/app_stores.h"
#include "support/file_tree.h"

namespace arkivo::test {

class RecordingObserver : public engine::RunObserver {
  public:
    void OnFile(const std::filesystem::path& source) override {
        Record(files, source);
        if (onFile) {
            onFile(source);
        }
    }
    void OnFailure(const std::filesystem::path& path, const std::filesystem::path&,
                   std::error_code error) override {
        Record(failures, path);
        Record(failureErrors, error);
        Record(settled, "failed " + path.string());
    }
    void OnBytesCopied(std::uint64_t bytes) override {
        Record(settled, "copied " + std::to_string(bytes));
    }
    void OnFileProgress(std::uint64_t done, std::uint64_t size) override {
        if (onFileProgress) {
            onFileProgress(done, size);
        }
    }
    void OnMessage(const UserMessage& message) override { Record(messages, message); }
    // Whether a message of fixed text holding `part` was told.
    bool ToldFixedContaining(std::u16string_view part) {
        std::lock_guard lock(mutex);
        for (const auto& message : messages) {
            if (message.fixedText.find(part) != std::u16string::npos) {
                return true;
            }
        }
        return false;
    }
    void OnPaused(bool paused) override { Record(pauses, paused); }
    void OnProgressRange(std::uint64_t count) override { Record(ranges, count); }
    void OnJobStarted(std::size_t jobIndex, std::u16string_view, std::u16string_view) override {
        Record(startedJobs, jobIndex);
        if (onJobStarted) {
            onJobStarted(jobIndex);
        }
    }
    void OnJobFinished(const engine::JobSummary& summary) override { Record(jobs, summary); }
    void OnPlannedCopy(const std::filesystem::path& source,
                       const std::filesystem::path& destination) override {
        Record(plannedCopies, {source, destination});
    }
    void OnPlannedDeletion(const std::filesystem::path& path) override {
        Record(plannedDeletions, path);
    }

    std::mutex mutex;
    std::function<void(const std::filesystem::path&)> onFile;
    std::function<void(std::size_t)> onJobStarted;
    std::function<void(std::uint64_t, std::uint64_t)> onFileProgress;
    std::vector<std::error_code> failureErrors;
    // Every copy's and every failure's outcome, in the order they were told.
    std::vector<std::string> settled;
    std::vector<std::filesystem::path> files, failures, plannedDeletions;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> plannedCopies;
    std::vector<UserMessage> messages;
    std::vector<bool> pauses;
    std::vector<std::uint64_t> ranges;
    std::vector<std::size_t> startedJobs;
    std::vector<engine::JobSummary> jobs;

  private:
    template <typename T>
    void Record(std::vector<T>& list, T value) {
        std::lock_guard lock(mutex);
        list.push_back(std::move(value));
    }
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::create_directories(home);
        std::filesystem::current_path(home);
        ASSERT_TRUE(EnsureEnvironmentFile(home / "LastSetting.env"));
        WriteBytes(home / "english.ini",
                   "[Report]\r\nBackupNo=Copied : \r\nBackupElasped=Elapsed : \r\n"
                   "BackupTime=Started : \r\nCreatedFile=Created\r\nUpdatedFile=Updated\r\n"
                   "DeletedFile=Deleted\r\nFailedFile=Failed\r\nFailedNo=Failures : \r\n"
                   "DeletionSkipped=Deletion skipped\r\nFolderUnreadable=Unreadable : \r\n"
                   "SkippedFolders=Skipped\r\nSkippedDotFolder=dot folder\r\n"
                   "SkippedFolderLink=folder link\r\nStopped=Stopped here\r\n"
                   "[Static]\r\nBASE=BASE : \r\nTARGET=TARGET : \r\n"
                   "[MsgFCThread]\r\nComplete=Done\r\nReportFailed=No report: \r\n");
        stores.LoadAll(home);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    std::size_t AddJob(const std::filesystem::path& base, const std::filesystem::path& target,
                       BackupType type = BackupType::Sync) {
        NewJob job;
        job.base = base.u16string();
        job.target = target.u16string();
        job.type = type;
        const auto outcome = RegisterJob(stores.EnvironmentPath(), job);
        EXPECT_TRUE(outcome.saved);
        return outcome.jobIndex;
    }

    std::size_t AddZipJob(BackupType type) {
        const auto job = AddJob(base, target, type);
        Edit(job, [](JobRecord& record) { record.zipOption = 1; });
        return job;
    }

    // The dated name of this minute: a test compares it before and after a run to tell whether
    // the run stayed within one minute.
    static std::string NameNow(std::u16string_view prefix) {
        return Utf16ToUtf8(engine::MakeDatedFolderName(prefix, platform::NowUnixSeconds()));
    }

    JobRecord Job(std::size_t index) {
        EnvironmentFile file(stores.EnvironmentPath());
        return file.Load().jobs.at(index);
    }

    void Edit(std::size_t index, const std::function<void(JobRecord&)>& change) {
        EnvironmentFile file(stores.EnvironmentPath());
        JobTable& table = file.Load();
        change(table.jobs.at(index));
        ASSERT_EQ(file.Save(table), LoadStatus::Ok);
    }

    void SetOption(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) {
        StoreValue(stores.option, section, key, value);
    }

    void ReportEverything() {
        for (auto key : {u"ReportOn", u"ReportCreatedOn", u"ReportUpdatedOn", u"ReportDeletedOn"}) {
            SetOption(u"Report", key, u"1");
        }
    }

    engine::RunSummary Run(engine::RunOptions options = {}) {
        engine::RunController control;
        control.Start(stores, observer, std::move(options));
        return control.Wait();
    }

    // A run of the ticked jobs, stopped as soon as its first file is copied.
    engine::RunSummary RunStoppedAtFirstFile() {
        engine::RunController control;
        observer.onFile = [&control](const std::filesystem::path&) { control.Stop(); };
        control.Start(stores, observer);
        const auto summary = control.Wait();
        observer.onFile = nullptr;
        return summary;
    }

    // The reports in the data folder, oldest first.
    std::vector<std::filesystem::path> Reports() {
        std::vector<std::filesystem::path> reports;
        for (const auto& entry : std::filesystem::directory_iterator(home)) {
            const auto name = entry.path().filename().string();
            if (name.rfind("Report", 0) == 0 && name.size() > 10) {
                reports.push_back(entry.path());
            }
        }
        std::sort(reports.begin(), reports.end(), [](const auto& a, const auto& b) {
            return std::filesystem::last_write_time(a) < std::filesystem::last_write_time(b);
        });
        return reports;
    }

    // The lines listed under the report's "<< heading >>", up to the next heading, sorted.
    static std::vector<std::string> Listed(const std::string& report, const std::string& heading) {
        std::vector<std::string> lines;
        auto at = report.find("<< " + heading + " >>\r\n");
        if (at == std::string::npos) {
            return lines;
        }
        at = report.find('\n', at) + 1;
        for (auto end = report.find("\r\n", at); end != std::string::npos && end > at;
             at = end + 2, end = report.find("\r\n", at)) {
            const auto line = report.substr(at, end - at);
            if (line.rfind("  <<", 0) == 0) {
                break;
            }
            lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    std::string LatestReport() {
        const auto reports = Reports();
        return reports.empty() ? std::string() : ReadBytes(reports.back());
    }

    TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path base = folder / "base";
    std::filesystem::path target = folder / "target";
    AppStores stores;
    RecordingObserver observer;

  private:
    std::filesystem::path previous_;
};

}  // namespace arkivo::test

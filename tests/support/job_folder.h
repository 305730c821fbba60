// A folder with a job list, jobs added and edited the way users do it, and what the commands
// answered.
#pragma once

#include <gtest/gtest.h>

#include "common/text.h"
#include "jobs/environment_file.h"
#include "jobs/job_commands.h"
#include "jobs/modify_job.h"
#include "support/temp_folder.h"

namespace arkivo::test {

// Whether the messages are exactly this one text, with this detail.
inline bool Says(const std::vector<UserMessage>& messages, const TextKey& key,
                 std::u16string_view detail = {}) {
    return messages.size() == 1 && messages[0].IsText(key) && messages[0].detail == detail;
}

// Adds jobs "C:\\baseN" -> "D:\\targetN", N being the job's number.
inline void AddNumberedJobs(const std::filesystem::path& env, std::size_t count) {
    EnvironmentFile file(env);
    JobTable& table = file.Load();
    for (std::size_t i = 0; i < count; ++i) {
        JobRecord job;
        job.jobNumber = static_cast<std::uint32_t>(table.jobs.size() + 1);
        job.basePath = u"C:\\base" + ToDecimalUnsigned(job.jobNumber);
        job.targetPath = u"D:\\target" + ToDecimalUnsigned(job.jobNumber);
        table.jobs.push_back(job);
    }
    table.jobListFlag = kHasJobList;
    ASSERT_EQ(file.Save(table), LoadStatus::Ok);
}

class JobFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(EnsureEnvironmentFile(env)); }

    JobTable Load() {
        EnvironmentFile file(env);
        return file.Load();
    }

    // Loads, changes and saves the job list as another program would.
    void Change(const std::function<void(JobTable&)>& change) {
        EnvironmentFile file(env);
        JobTable& table = file.Load();
        change(table);
        ASSERT_EQ(file.Save(table), LoadStatus::Ok);
    }

    CommandOutcome Add(std::u16string base, std::u16string target,
                       BackupType type = BackupType::Sync) {
        NewJob job;
        job.base = std::move(base);
        job.target = std::move(target);
        job.type = type;
        return RegisterJob(env, job);
    }

    // An edit of the job as it is stored, which changes nothing until its fields are changed.
    JobEdit EditOf(std::size_t index) {
        const auto job = Load().jobs.at(index);
        return {index, job.checked != 0, job.basePath, job.targetPath, {}, {}, {}};
    }

    TempFolder folder;
    std::filesystem::path env = folder / "LastSetting.env";
};

}  // namespace arkivo::test

#include "jobs/job_record.h"

#include <gtest/gtest.h>

#include "jobs/job_options.h"

namespace arkivo {
namespace {

TEST(FtpLocation, OnlyTheFirstFourCharactersDecide) {
    EXPECT_TRUE(IsFtpLocation(u"ftp://host/a"));
    EXPECT_TRUE(IsFtpLocation(u"FTP://host/a"));
    EXPECT_TRUE(IsFtpLocation(u"fTp:anything"));
    EXPECT_FALSE(IsFtpLocation(u"ftps://host/a"));
    EXPECT_FALSE(IsFtpLocation(u"ftp_backup/a"));
    EXPECT_FALSE(IsFtpLocation(u"/home/ftp:x"));
    EXPECT_FALSE(IsFtpLocation(u"ftp"));
}

TEST(FtpLocation, SplitsHostAndRemotePath) {
    FtpLocation location;
    ASSERT_TRUE(ParseFtpLocation(u"ftp://h/a/b", location));
    EXPECT_EQ(location.host, u"h");
    EXPECT_EQ(location.path, u"/a/b");
    ASSERT_TRUE(ParseFtpLocation(u"ftp://nas.local/", location));
    EXPECT_EQ(location.host, u"nas.local");
    EXPECT_EQ(location.path, u"/");
    EXPECT_FALSE(ParseFtpLocation(u"ftp://nas.local", location));
    EXPECT_FALSE(ParseFtpLocation(u"ftp:///a", location));
    EXPECT_FALSE(ParseFtpLocation(u"/local/path", location));
}

TEST(JobTableSearches, FirstMatchWinsWithoutRegardToCase) {
    JobTable table;
    for (auto [base, target] :
         {std::pair{u"/Data", u"/b1"}, std::pair{u"/other", u"/b2"}, std::pair{u"/DATA", u"/b3"}}) {
        JobRecord job;
        job.basePath = base;
        job.targetPath = target;
        table.jobs.push_back(job);
    }
    EXPECT_EQ(FindJobByBase(table, u"/data"), 0u);
    EXPECT_EQ(FindJobByTarget(table, u"/B3"), 2u);
    EXPECT_TRUE(TableContainsPair(table, u"/data", u"/B3"));
    EXPECT_FALSE(TableContainsPair(table, u"/other", u"/b3"));
    EXPECT_FALSE(TableContainsPair(table, u"/dat", u"/b1"));
}

TEST(StampJobTimes, EachTypeMovesItsOwnReferenceTime) {
    // By type (sync, differential, incremental, period, unknown): the sync time, incremental
    // time and period start after a run stamped at 1000.
    const std::uint64_t expected[][3] = {
        {1000, 0, 11}, {0, 0, 11}, {0, 1000, 11}, {0, 0, 1000}, {0, 0, 11}};
    JobTable table;
    for (std::uint32_t type = 0; type < 5; ++type) {
        JobRecord job;
        job.backupType = type;
        job.periodStart = 11;
        job.periodEnd = 22;
        table.jobs.push_back(job);
        StampJobTimes(table, type, 1000);
    }
    for (std::uint32_t type = 0; type < 5; ++type) {
        const JobRecord& job = table.jobs[type];
        SCOPED_TRACE(type);
        EXPECT_EQ(job.lastBackupTime, 1000u);
        EXPECT_EQ(job.lastSyncTime, expected[type][0]);
        EXPECT_EQ(job.lastIncTime, expected[type][1]);
        EXPECT_EQ(job.periodStart, expected[type][2]);
        EXPECT_EQ(job.periodEnd, 22u);
    }
}

}  // namespace
}  // namespace arkivo

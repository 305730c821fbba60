#include "engine/copy_rules.h"

#include <gtest/gtest.h>

namespace arkivo::engine {
namespace {

platform::FileInfo File(std::int64_t written, std::int64_t created = 0,
                        std::int64_t subSecond = 0) {
    platform::FileInfo info;
    info.lastWriteTime = UnixSecondsToFileTime(written) + subSecond;
    info.creationTime = UnixSecondsToFileTime(created);
    return info;
}

TEST(NewerThanReference, CopiesMissingAndStrictlyNewerFilesOnly) {
    const NewerThanReference rule;
    const auto missing = rule.Decide(File(1000), nullptr);
    EXPECT_TRUE(missing.copy);
    EXPECT_TRUE(missing.referenceMissing);
    const auto reference = File(1000);
    EXPECT_FALSE(rule.Decide(File(1000), &reference).copy);
    const auto newer = rule.Decide(File(1001), &reference);
    EXPECT_TRUE(newer.copy);
    EXPECT_TRUE(newer.referenceOutdated);
    EXPECT_FALSE(newer.referenceMissing);
    EXPECT_FALSE(rule.Decide(File(999), &reference).copy);
    // Creation times play no part, and differences below a second do not count.
    EXPECT_FALSE(rule.Decide(File(1000, 5000), &reference).copy);
    EXPECT_FALSE(rule.Decide(File(1000, 0, 9999999), &reference).copy);
}

TEST(DiffersFromReference, CopiesMissingFilesAndAnyOtherSizeOrWriteTime) {
    const DiffersFromReference rule;
    EXPECT_TRUE(rule.Decide(File(1000), nullptr).referenceMissing);
    auto reference = File(1000);
    reference.size = 10;
    auto same = File(1000, 5000, 9999999);
    same.size = 10;
    EXPECT_FALSE(rule.Decide(same, &reference).copy);
    for (const std::int64_t written : {999, 1001}) {
        auto other = File(written);
        other.size = 10;
        const auto decision = rule.Decide(other, &reference);
        EXPECT_TRUE(decision.copy && decision.referenceOutdated) << written;
    }
    auto resized = File(1000);
    resized.size = 11;
    EXPECT_TRUE(rule.Decide(resized, &reference).copy);
    platform::FileInfo folder;
    folder.attributes = platform::Attribute::Directory;
    EXPECT_TRUE(rule.Decide(same, &folder).referenceMissing);
}

TEST(ChangedSince, CreationOrLastWriteStrictlyAfterTheLastRun) {
    const ChangedSince rule(1000);
    EXPECT_FALSE(rule.NeedsReference());
    EXPECT_FALSE(rule.Decide(File(1000, 1000), nullptr).copy);
    EXPECT_TRUE(rule.Decide(File(1001, 500), nullptr).copy);
    // A file copied in with an old write time but a new creation time.
    EXPECT_TRUE(rule.Decide(File(10, 1001), nullptr).copy);
    EXPECT_FALSE(rule.Decide(File(999, 999), nullptr).copy);
    EXPECT_TRUE(ChangedSince(0).Decide(File(1, 0), nullptr).copy);
}

TEST(WithinPeriod, WrittenBeforeTheEndAndChangedAfterTheStart) {
    const WithinPeriod rule(1000, 2000);
    EXPECT_TRUE(rule.Decide(File(1500, 0), nullptr).copy);
    EXPECT_FALSE(rule.Decide(File(2000, 1500), nullptr).copy);  // written exactly at the end
    EXPECT_FALSE(rule.Decide(File(2500, 1500), nullptr).copy);  // created inside, written after
    EXPECT_TRUE(rule.Decide(File(500, 3000), nullptr).copy);    // created after, written before
    EXPECT_FALSE(rule.Decide(File(1000, 1000), nullptr).copy);  // both exactly at the start
    // An end before the start leaves only files created after the start with old write times.
    const WithinPeriod inverted(2000, 1000);
    EXPECT_TRUE(inverted.Decide(File(500, 2500), nullptr).copy);
    EXPECT_FALSE(inverted.Decide(File(1500, 2500), nullptr).copy);
    EXPECT_FALSE(inverted.Decide(File(500, 1500), nullptr).copy);
}

}  // namespace
}  // namespace arkivo::engine

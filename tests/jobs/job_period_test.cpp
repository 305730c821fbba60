// A period typed as local dates, stored in the form the period rule compares with, and shown
// back as it would be typed.
#include "jobs/job_period.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace arkivo {
namespace {

std::int64_t Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return platform::FromLocalTime({year, month, day, hour, minute, second, 0}).value();
}

TEST(JobPeriod, AStartIsTheFirstSecondItNamesInLocalTime) {
    EXPECT_EQ(PeriodStartFromText("2026-12-01"), Local(2026, 12, 1));
    EXPECT_EQ(PeriodStartFromText("2026-12-01T08:30"), Local(2026, 12, 1, 8, 30));
    EXPECT_EQ(PeriodStartFromText("2026-12-01 08:30"), Local(2026, 12, 1, 8, 30));
    EXPECT_EQ(PeriodStartFromText("2026-12-01T08:30:15"), Local(2026, 12, 1, 8, 30, 15));
    EXPECT_EQ(PeriodStartFromText("2024-02-29"), Local(2024, 2, 29));
}

// What the end names is covered whole: the first second after it, the months' lengths and
// leap years counted.
TEST(JobPeriod, AnEndCoversTheWholeDayMinuteOrSecondItNames) {
    EXPECT_EQ(PeriodEndFromText("2026-12-31"), Local(2027, 1, 1));
    EXPECT_EQ(PeriodEndFromText("2026-02-28"), Local(2026, 3, 1));
    EXPECT_EQ(PeriodEndFromText("2024-02-28"), Local(2024, 2, 29));
    EXPECT_EQ(PeriodEndFromText("2026-04-30"), Local(2026, 5, 1));
    EXPECT_EQ(PeriodEndFromText("2026-12-31T23:59"), Local(2027, 1, 1));
    EXPECT_EQ(PeriodEndFromText("2026-12-01T08:30"), Local(2026, 12, 1, 8, 31));
    EXPECT_EQ(PeriodEndFromText("2026-12-01T08:30:59"), Local(2026, 12, 1, 8, 31));
    EXPECT_EQ(PeriodEndFromText("2026-12-01T08:30:15"), Local(2026, 12, 1, 8, 30, 16));
}

TEST(JobPeriod, TextOfAnyOtherFormOrADayThatDoesNotExistIsRefused) {
    for (const char* text : {"",
                             "2026",
                             "2026-12",
                             "2026-1-01",
                             "2026-12-1",
                             "26-12-01",
                             "2026/12/01",
                             "20261201",
                             "2026-13-01",
                             "2026-00-10",
                             "2026-12-00",
                             "2026-12-32",
                             "2026-02-29",
                             "2100-02-29",
                             "2026-04-31",
                             "2026-12-01T24:00",
                             "2026-12-01T08:60",
                             "2026-12-01T08:30:60",
                             "2026-12-01T8:30",
                             "2026-12-01T08",
                             "2026-12-01T08:30Z",
                             "2026-12-01T08:30+09:00",
                             "2026-12-01t08:30",
                             " 2026-12-01",
                             "2026-12-01 ",
                             "2026-12-01\n",
                             "-026-12-01",
                             "+2026-12-01",
                             "2026-12-01T08:30:1",
                             "\xef\xbc\x92\xef\xbc\x90\xef\xbc\x92\xef\xbc\x96-12-01",
                             "1969-06-01",
                             "0000-01-01"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(PeriodStartFromText(text));
        EXPECT_FALSE(PeriodEndFromText(text));
    }
}

// A run copies what was written strictly after the stored start and strictly before the
// stored end, and moves the start to the second before its own start.
TEST(JobPeriod, IsStoredAsTheSecondBeforeItAndTheSecondAfterIt) {
    JobRecord job;
    EXPECT_FALSE(HasPeriod(job));
    EXPECT_FALSE(PeriodOf(job));
    const JobPeriod period{Local(2026, 12, 1), Local(2027, 1, 1)};
    SetPeriod(job, period);
    EXPECT_TRUE(HasPeriod(job));
    EXPECT_EQ(job.periodStart, static_cast<std::uint64_t>(Local(2026, 11, 30, 23, 59, 59)));
    EXPECT_EQ(job.periodEnd, static_cast<std::uint64_t>(Local(2027, 1, 1)));
    EXPECT_EQ(PeriodOf(job), period);
}

// Each bound is shown as precisely as it needs to be, in a form the option reads back.
TEST(JobPeriod, IsShownAsItIsTypedAndReadsBackAsItself) {
    const std::pair<const char*, const char*> cases[] = {
        {"2026-12-01", "2026-12-31"},
        {"2026-12-01T08:30", "2026-12-01T17:59"},
        {"2026-12-01T08:30:15", "2026-12-01T17:59:30"},
        {"2024-02-29", "2024-03-01T00:00:01"},
    };
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(from);
        const JobPeriod period{PeriodStartFromText(from).value(), PeriodEndFromText(to).value()};
        const std::string shown = PeriodText(period);
        EXPECT_EQ(shown, std::string(from) + " to " + to);
        const auto split = shown.find(" to ");
        EXPECT_EQ(PeriodStartFromText(shown.substr(0, split)), period.first);
        EXPECT_EQ(PeriodEndFromText(shown.substr(split + 4)), period.pastLast);
    }
    // A whole minute given to the second is the same period, shown as the minute.
    EXPECT_EQ(PeriodText({Local(2026, 12, 1), PeriodEndFromText("2026-12-01T08:30:59").value()}),
              "2026-12-01 to 2026-12-01T08:30");
}

}  // namespace
}  // namespace arkivo

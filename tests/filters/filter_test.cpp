#include <gtest/gtest.h>

#include "common/text.h"
#include "filters/filter_lists.h"
#include "filters/filter_match.h"
#include "jobs/environment_file.h"
#include "settings/lang_ini.h"
#include "support/engine_fixture.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using test::MakeFile;
using test::Says;

class Filters : public test::EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        job = AddJob(base, target);
    }
    void Add(CLangIni& store, std::u16string_view pattern) {
        ASSERT_TRUE(AddPattern(stores.EnvironmentPath(), store, job, pattern).saved);
    }
    bool Out(std::u16string_view path) {
        return IsFilteredOut(stores.filter, stores.filterInc, job, path);
    }
    std::size_t job = 0;
};

// Case-blind also for the capitals of accented, Greek and Cyrillic letters.
TEST_F(Filters, PatternsAreCaseBlindSubstringsWithTheStarDotRule) {
    Add(stores.filter, u"*.txt");
    EXPECT_TRUE(Out(u"/data/notes.TXT"));
    EXPECT_TRUE(Out(u"/data/a.txt.bak"));
    EXPECT_TRUE(Out(u"/data/x.txt/inner.doc"));
    EXPECT_FALSE(Out(u"/data/notes.tx"));
    EXPECT_TRUE(PatternMatches(u"TEMP", u"/HOME/TEMPLATES/A"));
    EXPECT_FALSE(PatternMatches(u"*.*", u"/A.B"));
    EXPECT_FALSE(PatternMatches(u"*", u"/A.B"));
    EXPECT_TRUE(PatternMatches(u"", u"/ANYTHING"));
    EXPECT_TRUE(PatternMatches(u"X*.LOG", u"/A/B*.LOG"));  // any first character goes
    EXPECT_FALSE(PatternMatches(u"?.LOG", u"/A.LOG"));
    Add(stores.filter, u"\u03ce\u03c1\u03b1");  // "ώρα"
    Add(stores.filterInc, u"\u04c1\u04cb");     // "ӁӋ"
    EXPECT_TRUE(Out(u"/data/\u038f\u03a1\u0391/\u04c2\u04cc.doc"));
    EXPECT_FALSE(Out(u"/data/\u04c2\u04cc.doc"));
    EXPECT_TRUE(Out(u"/data/\u04c0\u04cb.doc"));
}

TEST_F(Filters, IncludeListLetsOnlyMatchingFilesThroughAndExcludeWins) {
    EXPECT_FALSE(Out(u"/data/a.doc"));
    Add(stores.filterInc, u".doc");
    EXPECT_FALSE(Out(u"/data/a.doc"));
    EXPECT_TRUE(Out(u"/data/a.xls"));
    Add(stores.filter, u"secret");
    EXPECT_TRUE(Out(u"/data/secret.doc"));
    EXPECT_TRUE(Job(job).filterOn);
}

TEST_F(Filters, OnlyTheFirst99PatternsTakeEffectAndAHundredthIsRefused) {
    for (int i = 1; i <= 99; ++i) {
        Add(stores.filter, u"never-matches-" + ToDecimal(i) + u"-");
    }
    const auto refused = AddPattern(stores.EnvironmentPath(), stores.filter, job, u"*.tmp");
    EXPECT_FALSE(refused.saved);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_TRUE(refused.messages[0].IsText(text::FilterListFull));
    // A hand-edited file can still hold a pattern under key 100: it is never used.
    StoreValue(stores.filter, u"1", u"100", u"*.tmp");
    EXPECT_FALSE(Out(u"/a/b.tmp"));
    EXPECT_EQ(ListPatterns(stores.filter, job).size(), 100u);
}

// Emptying one list keeps the other in force; emptying both switches the filters off.
TEST_F(Filters, RemovingPatternsClosesTheGapsInOrder) {
    for (auto p : {u"p1", u"p2", u"p3", u"p4", u"p5"}) {
        Add(stores.filter, p);
    }
    ASSERT_TRUE(
        RemovePatterns(stores.EnvironmentPath(), stores.filter, stores.filterInc, job, {2, 4})
            .saved);
    EXPECT_EQ(ListPatterns(stores.filter, job), (std::vector<std::u16string>{u"p1", u"p3", u"p5"}));
    CLangIni reread;
    reread.Open(home / "Filter.ini");
    EXPECT_EQ(reread.GetValue(u"1", u"3"), u"p5");
    EXPECT_EQ(reread.FindKey(reread.FindSection(u"1"), u"4"), -1);

    Add(stores.filterInc, u".doc");
    ASSERT_TRUE(
        RemovePatterns(stores.EnvironmentPath(), stores.filterInc, stores.filter, job, {1}).saved);
    EXPECT_EQ(stores.filterInc.FindSection(u"1"), -1);
    EXPECT_EQ(Job(job).filterOn, 1u);
    EXPECT_TRUE(Out(u"/a/p3"));
    ASSERT_TRUE(
        RemovePatterns(stores.EnvironmentPath(), stores.filter, stores.filterInc, job, {1, 2, 3})
            .saved);
    EXPECT_EQ(Job(job).filterOn, 0u);
}

TEST_F(Filters, ARunLeavesFilteredFilesOutButStillCountsThemAsExamined) {
    MakeFile(base / "keep.doc", "k");
    MakeFile(base / "sub/skip.TMP", "s");
    MakeFile(base / "sub/keep2.doc", "k");
    Add(stores.filter, u"*.tmp");
    ASSERT_TRUE(Run().Succeeded());
    EXPECT_EQ(test::FileContents(target),
              (std::map<std::string, std::string>{{"keep.doc", "k"}, {"sub/keep2.doc", "k"}}));
    EXPECT_EQ(observer.ranges.front(), 2u);
    EXPECT_EQ(observer.jobs.at(0).examined, 3u);
}

// An empty pattern would leave out every file; a line break or a line longer than the reader
// reads would lose it and hide what follows. Nothing is written for any of them.
TEST_F(Filters, PatternsThatCannotWorkAreRefusedWhereEnteredAndNothingIsWritten) {
    const auto env = stores.EnvironmentPath();
    const std::string before = test::ReadBytes(home / "Filter.ini");
    EXPECT_TRUE(Says(AddPattern(env, stores.filter, job, u"").messages, text::FilterEmpty));
    EXPECT_TRUE(Says(AddPattern(env, stores.filter, job, u"a\nb").messages, text::FilterLineBreak));
    // "1=" and 2045 characters make the longest line a reader reads.
    const std::u16string tooLong(2046, u'x');
    EXPECT_TRUE(Says(AddPattern(env, stores.filter, job, tooLong).messages, text::FilterTooLong));
    EXPECT_EQ(test::ReadBytes(home / "Filter.ini"), before);
    EXPECT_EQ(stores.filter.FindSection(u"1"), -1);
    EXPECT_EQ(Job(job).filterOn, 0u);

    Add(stores.filter, std::u16string(2045, u'x'));
    Add(stores.filter, u"*.tmp");
    const std::string withTwo = test::ReadBytes(home / "Filter.ini");
    EXPECT_TRUE(Says(EditPattern(stores.filter, job, 2, u"").messages, text::FilterEmpty));
    EXPECT_TRUE(Says(EditPattern(stores.filter, job, 2, u"a\r").messages, text::FilterLineBreak));
    EXPECT_TRUE(Says(EditPattern(stores.filter, job, 2, tooLong).messages, text::FilterTooLong));
    // A key the list no longer has is not made up.
    EXPECT_FALSE(EditPattern(stores.filter, job, 3, u"*.bak").saved);
    EXPECT_EQ(test::ReadBytes(home / "Filter.ini"), withTwo);
    EXPECT_EQ(stores.filter.GetValue(u"1", u"2"), u"*.tmp");
    EXPECT_TRUE(EditPattern(stores.filter, job, 2, u"*.bak").saved);
    EXPECT_EQ(ListPatterns(stores.filter, job),
              (std::vector<std::u16string>{std::u16string(2045, u'x'), u"*.bak"}));
}

}  // namespace
}  // namespace arkivo

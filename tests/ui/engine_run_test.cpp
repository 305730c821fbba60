// A real run through the backup engine, started with the main dialog's start button.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <fstream>

#include "gui_support.h"
#include "jobs/job_commands.h"
#include "jobs/job_list_rows.h"
#include "settings/run_lock.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

// A job over a small local folder, registered as the dialog does it.
class EngineRunTest : public MainDialogTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(source / "letters");
        std::ofstream(source / "report.txt") << "quarterly numbers";
        std::ofstream(source / "letters" / "ada.txt") << "Dear Ada";
        NewJob job;
        job.base = source.u16string();
        job.target = target.u16string();
        ASSERT_TRUE(RegisterJob(folder_.Environment(), job).saved);
    }

    std::filesystem::path source = folder_ / "source";
    std::filesystem::path target = folder_ / "target";
};

TEST_F(EngineRunTest, ASmallLocalJobRunsAndEndsWithTheCompletionDialog) {
    std::filesystem::create_directories(target);
    Open(ui::MakeEngineRunControl());
    AnswerCompletionDialog();

    Click(dialog(), IDC_START);

    ASSERT_TRUE(AwaitCompletion(1000));
    EXPECT_EQ(completionText_, folder_.English(text::RunComplete));
    EXPECT_TRUE(std::filesystem::exists(target / "report.txt"));
    EXPECT_TRUE(std::filesystem::exists(target / "letters" / "ada.txt"));
    const auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    EXPECT_GT(table.jobs[0].lastBackupTime, 0u);
    EXPECT_NE(Cell(0, 3), FormatListDate(0)) << "the list shows the new run date";
    EXPECT_FALSE(::IsWindowVisible(dialog_->progress()->hwnd()));
}

// Another program (`arkivo run`, the scheduler) runs in the same folder: the start button
// says so and starts nothing.
TEST_F(EngineRunTest, TheStartIsRefusedWhileAnotherRunHoldsTheFolder) {
    const RunLock otherRun(folder_.path());
    Open(ui::MakeEngineRunControl());
    AnswerCompletionDialog();

    Click(dialog(), IDC_START);

    ASSERT_TRUE(driver_.AwaitMessage(100));
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::RunAnotherInProgress)});
    EXPECT_FALSE(AwaitCompletion(50)) << "a refused run is not complete";
    EXPECT_FALSE(std::filesystem::exists(target / "report.txt"));
    EXPECT_EQ(folder_.Load().jobs[0].lastBackupTime, 0u);
}

}  // namespace
}  // namespace arkivo::test

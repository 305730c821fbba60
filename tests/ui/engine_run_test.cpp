// A real run through the backup engine, started with the main dialog's start button.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <fstream>

#include "gui_support.h"
#include "jobs/job_list_rows.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

using EngineRunTest = MainDialogTest;

TEST_F(EngineRunTest, ASmallLocalJobRunsAndEndsWithTheCompletionDialog) {
    const auto source = folder_ / "source";
    const auto target = folder_ / "target";
    std::filesystem::create_directories(source / "letters");
    std::filesystem::create_directories(target);
    std::ofstream(source / "report.txt") << "quarterly numbers";
    std::ofstream(source / "letters" / "ada.txt") << "Dear Ada";
    NewJob job;
    job.base = source.u16string();
    job.target = target.u16string();
    ASSERT_TRUE(RegisterJob(folder_.Environment(), job).saved);
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

}  // namespace
}  // namespace arkivo::test

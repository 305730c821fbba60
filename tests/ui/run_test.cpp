// A run as the main dialog sees it: the start, pause and stop buttons drive the run control,
// and what the run's worker reports reaches the progress window and the completion dialog.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <set>

#include "gui_support.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

class RunTest : public MainDialogTest {
  protected:
    void SetUp() override {
        folder_.AddJobs(2);
        auto run = std::make_unique<RecordingRun>();
        run_ = run.get();
        Open(std::move(run));
    }

    // Calls the observer from a thread of its own, as the engine's worker does.
    void FromWorker(const std::function<void(engine::RunObserver&)>& report) {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            report(*run_->observer);
            done = true;
        });
        while (!done) {
            PumpMessages();
        }
        worker.join();
        PumpMessages();
    }

    HWND progress() { return dialog_->progress()->hwnd(); }

    RecordingRun* run_ = nullptr;
};

// Nothing starts, or pauses, without a ticked job.
TEST_F(RunTest, StartShowsTheProgressWindowAndAStartWhileRunningResumes) {
    ListView_SetCheckState(list(), 0, FALSE);
    ListView_SetCheckState(list(), 1, FALSE);
    Click(dialog(), IDC_START);
    EXPECT_EQ(run_->starts, 0);
    Click(dialog(), IDC_PAUSE);
    EXPECT_FALSE(run_->paused);

    ListView_SetCheckState(list(), 1, TRUE);
    Click(dialog(), IDC_START);
    ASSERT_EQ(run_->starts, 1);
    ASSERT_NE(dialog_->progress(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(progress()));

    Click(dialog(), IDC_PAUSE);
    EXPECT_TRUE(run_->paused);
    EXPECT_FALSE(::IsWindowVisible(progress()));

    Click(dialog(), IDC_START);
    EXPECT_EQ(run_->starts, 1);
    EXPECT_EQ(run_->resumes, 1);
    EXPECT_TRUE(::IsWindowVisible(progress()));

    Click(dialog(), IDC_STOP);
    EXPECT_FALSE(run_->running);
    EXPECT_FALSE(::IsWindowVisible(progress()));
}

TEST_F(RunTest, TheWorkersReportsReachTheProgressWindow) {
    Click(dialog(), IDC_START);
    ListView_SetCheckState(list(), 1, FALSE);
    bool firstTicked = false, secondTicked = true;
    std::u16string analysis;
    FromWorker([&](engine::RunObserver& observer) {
        firstTicked = observer.IsJobTicked(0, false);
        secondTicked = observer.IsJobTicked(1, true);
        observer.OnJobStarted(0, u"C:\\base1", u"D:\\target1");
        observer.OnAnalysis(0, true);
        // Read at once: the text blinks, and is blank for a moment every 300 ms.
        analysis = ItemText(dialog(), IDC_ANALYSIS_STATUS);
        observer.OnStatus(u"Copying files...");
        observer.OnAnimation(engine::Animation::Delete);
        observer.OnProgressRange(70000);
        observer.OnProgressPos(35000);
    });

    EXPECT_TRUE(firstTicked);
    EXPECT_FALSE(secondTicked);
    EXPECT_EQ(ItemText(progress(), IDC_PROGRESS_BASE), u"C:\\base1");
    EXPECT_EQ(ItemText(progress(), IDC_PROGRESS_TARGET), u"D:\\target1");
    EXPECT_EQ(ItemText(progress(), IDC_PROGRESS_STATUS), u"Copying files...");
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_PATH), u"C:\\base1");
    EXPECT_EQ(analysis, folder_.English(text::RunAnalysis) + u" -  0");
    EXPECT_EQ(dialog_->progress()->animation().playing(), IDB_DELETE_ANIMATION);
    const auto bar = ::GetDlgItem(progress(), IDC_PROGRESS_BAR);
    const auto upper = ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
    const auto position = ::SendMessageW(bar, PBM_GETPOS, 0, 0);
    EXPECT_EQ(upper, 65535);
    EXPECT_NEAR(static_cast<double>(position) / upper, 0.5, 0.01);

    FromWorker([](engine::RunObserver& observer) { observer.OnAnalysis(0, false); });
    EXPECT_EQ(ItemText(dialog(), IDC_ANALYSIS_STATUS), u"");
}

// Clicking the main window leaves the progress window above it, and Open brings both back
// from a minimised main window.
TEST_F(RunTest, TheProgressWindowBelongsToTheMainWindow) {
    Click(dialog(), IDC_START);
    ASSERT_NE(dialog_->progress(), nullptr);
    EXPECT_EQ(::GetWindow(progress(), GW_OWNER), dialog());

    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages();
    ::SendMessageW(dialog(), WM_COMMAND, ID_TRAY_OPEN, 0);
    PumpMessages();
    EXPECT_FALSE(::IsIconic(dialog()));
    EXPECT_TRUE(::IsWindowVisible(progress()));
}

// The frames shown over half a second, one every 50 ms.
std::set<int> FramesShown(const ui::CAnimationPicture& animation) {
    std::set<int> frames;
    for (int i = 0; i < 10; ++i) {
        frames.insert(animation.frame());
        ::Sleep(50);
        PumpMessages();
    }
    return frames;
}

TEST_F(RunTest, TheAnimationHoldsStillWhileTheRunIsPaused) {
    Click(dialog(), IDC_START);
    ASSERT_EQ(dialog_->animation().playing(), IDB_COPY_ANIMATION);
    EXPECT_GT(FramesShown(dialog_->animation()).size(), 1u);

    Click(dialog(), IDC_PAUSE);
    EXPECT_EQ(FramesShown(dialog_->animation()).size(), 1u);

    Click(dialog(), IDC_START);
    EXPECT_GT(FramesShown(dialog_->animation()).size(), 1u);
}

// Counting a large tree takes a while, and the text is the only sign of it.
TEST_F(RunTest, TheAnalysisTextStaysForTheWholeCount) {
    Click(dialog(), IDC_START);
    std::vector<std::u16string> seen;
    FromWorker([&](engine::RunObserver& observer) {
        observer.OnAnalysis(1, true);
        for (int i = 0; i < 30; ++i) {
            seen.push_back(ItemText(dialog(), IDC_ANALYSIS_STATUS));
            ::Sleep(25);
        }
        observer.OnAnalysis(1, false);
    });
    ASSERT_EQ(seen.size(), 30u);
    for (const auto& text : seen) {
        EXPECT_EQ(text, folder_.English(text::RunAnalysis) + u" -  1");
    }
    EXPECT_EQ(ItemText(dialog(), IDC_ANALYSIS_STATUS), u"");
}

// A stopped run shows no completion dialog; a finished one does, and refills the list.
TEST_F(RunTest, AFinishedRunRefillsTheListAndShowsTheCompletionDialog) {
    Click(dialog(), IDC_START);
    AnswerCompletionDialog();
    engine::RunSummary stopped;
    stopped.stopped = true;
    FromWorker([&](engine::RunObserver& observer) { observer.OnRunFinished(stopped, u"done"); });
    EXPECT_FALSE(AwaitCompletion(20));

    Click(dialog(), IDC_START);
    folder_.AddJobs(1);
    FromWorker([](engine::RunObserver& observer) {
        observer.OnRunFinished(engine::RunSummary{}, u"All jobs are done.");
    });
    EXPECT_TRUE(AwaitCompletion(100));
    EXPECT_EQ(completionText_, u"All jobs are done.");
    EXPECT_EQ(Rows(), 3);
    EXPECT_FALSE(::IsWindowVisible(progress()));
}

}  // namespace
}  // namespace arkivo::test

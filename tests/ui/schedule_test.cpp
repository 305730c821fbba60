// Runs that start by themselves in the main dialog: the scheduler's timer on an injected
// clock, and the auto-detect passes of the button and of the periodic timer.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <fstream>

#include "gui_support.h"
#include "jobs/job_commands.h"
#include "platform/clock.h"
#include "schedule/schedule_settings.h"
#include "settings/lang_ini.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

constexpr char kDailyAtTen[] = "[Scheduler]\nUseScheduler=1\nHowToRepeat=1\nHour=10\nMin=0\n";

// 2 March 2026 (a Monday) plus `days`, at this local time.
std::int64_t At(int days, int hour, int minute, int second) {
    const auto instant = platform::FromLocalTime({2026, 3, 2, hour, minute, second, 1});
    EXPECT_TRUE(instant.has_value());
    return instant.value_or(0) + days * 86400LL;
}

class ScheduleTest : public MainDialogTest {
  protected:
    void OpenWith(std::unique_ptr<ui::RunControl> run) {
        Open(std::move(run));
        context_->clock = [this] { return now_; };
    }
    // What the 30-second timer does when it expires at `now`.
    void TickAt(std::int64_t now) {
        now_ = now;
        ::SendMessageW(dialog(), WM_TIMER, IDT_SCHEDULE, 0);
        PumpMessages();
    }
    std::optional<std::int64_t> StoredLastRun() const {
        CLangIni option;
        option.Open(folder_ / "Option.ini");
        return schedule::ReadLastScheduledRun(option);
    }

    std::int64_t now_ = 0;
};

// The set minute starts one run and shows the window; a run still going, or paused, at the
// next set time is resumed and never doubled; a scheduler switched off starts nothing.
TEST_F(ScheduleTest, TheSetTimeStartsOneRunAndNeverASecondBesideARunGoingOrPaused) {
    folder_.AddJobs(2);
    folder_.Write("Option.ini", kDailyAtTen);
    auto owned = std::make_unique<RecordingRun>();
    RecordingRun& run = *owned;
    OpenWith(std::move(owned));
    dialog_->ShowMain(SW_HIDE);

    TickAt(At(0, 9, 59, 40));
    EXPECT_EQ(run.starts, 0);
    EXPECT_FALSE(::IsWindowVisible(dialog()));

    TickAt(At(0, 10, 0, 10));
    EXPECT_EQ(run.starts, 1);
    EXPECT_TRUE(::IsWindowVisible(dialog()));
    EXPECT_EQ(StoredLastRun(), At(0, 10, 0, 0)) << "kept for a catch-up after a restart";
    TickAt(At(0, 10, 0, 40));
    EXPECT_EQ(run.starts, 1) << "two ticks in the set minute";

    run.paused = true;
    TickAt(At(1, 10, 0, 5));
    EXPECT_EQ(run.starts, 1);
    EXPECT_EQ(run.resumes, 1);
    EXPECT_FALSE(run.paused);

    folder_.Write("Option.ini", "[Scheduler]\nUseScheduler=0\nHowToRepeat=1\nHour=10\nMin=0\n");
    run.running = false;
    TickAt(At(2, 10, 0, 5));
    EXPECT_EQ(run.starts, 1) << "the scheduler was switched off by another program";
    EXPECT_EQ(run.resumes, 1);
}

// The set time brings a real run through the engine, from the start command.
TEST_F(ScheduleTest, TheSetTimeRunsTheTickedJobThroughTheEngine) {
    const auto source = folder_ / "source";
    const auto target = folder_ / "target";
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(target);
    std::ofstream(source / "report.txt") << "quarterly numbers";
    NewJob job;
    job.base = source.u16string();
    job.target = target.u16string();
    ASSERT_TRUE(RegisterJob(folder_.Environment(), job).saved);
    folder_.Write("Option.ini", kDailyAtTen);
    OpenWith(ui::MakeEngineRunControl());
    AnswerCompletionDialog();

    TickAt(At(0, 9, 59, 50));
    EXPECT_FALSE(AwaitCompletion(20));
    EXPECT_FALSE(std::filesystem::exists(target / "report.txt"));

    TickAt(At(0, 10, 0, 20));
    ASSERT_TRUE(AwaitCompletion(1000));
    EXPECT_TRUE(std::filesystem::exists(target / "report.txt"));
    EXPECT_GT(folder_.Load().jobs[0].lastBackupTime, 0u);
}

// Two local jobs: the first has a file its target lacks, the second has nothing to copy.
class AutoDetectTest : public MainDialogTest {
  protected:
    void SetUp() override {
        for (const auto& folder : {source1, target1, source2, target2}) {
            std::filesystem::create_directories(folder);
        }
        std::ofstream(source1 / "new.txt") << "not backed up yet";
        for (const auto& [base, target] : {std::pair{source1, target1}, {source2, target2}}) {
            NewJob job;
            job.base = base.u16string();
            job.target = target.u16string();
            ASSERT_TRUE(RegisterJob(folder_.Environment(), job).saved);
        }
    }

    COLORREF RowColour(int row) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        dialog_->jobList().OnCustomDraw(draw);
        return draw.clrText;
    }

    // Lets the dialog work until the condition holds or about ten seconds have passed.
    bool AwaitUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 500 && !condition(); ++i) {
            PumpMessages();
            ::Sleep(20);
        }
        return condition();
    }

    void ExpectOnlyTheFirstJobMarked() {
        EXPECT_EQ(RowColour(0), RGB(255, 0, 0));
        EXPECT_EQ(RowColour(1), RGB(0, 0, 0));
        EXPECT_EQ(folder_.Stored("Setting.ini", u"1"), Entries{u"ThereisFileToCopy=1"});
        EXPECT_EQ(folder_.Stored("Setting.ini", u"2"), Entries{u"ThereisFileToCopy=0"});
        EXPECT_TRUE(std::filesystem::is_empty(target1)) << "a pass copies nothing";
    }

    std::filesystem::path source1 = folder_ / "source1";
    std::filesystem::path target1 = folder_ / "target1";
    std::filesystem::path source2 = folder_ / "source2";
    std::filesystem::path target2 = folder_ / "target2";
};

// The button shows the window while the pass goes, the window goes when the pass has ended,
// and the list shows the job with files to copy in red.
TEST_F(AutoDetectTest, TheButtonMarksTheJobWithFilesToCopyAndItsWindowGoesAfterThePass) {
    Open();
    ASSERT_TRUE(::IsWindowVisible(::GetDlgItem(dialog(), IDC_AUTO_DETECT)));

    Click(dialog(), IDC_AUTO_DETECT);
    ASSERT_TRUE(dialog_->autoDetectWindow().IsOpen());
    EXPECT_TRUE(::IsWindowVisible(dialog_->autoDetectWindow().hwnd()));
    EXPECT_EQ(ItemText(dialog_->autoDetectWindow().hwnd(), IDC_AUTO_DETECT_TEXT),
              folder_.English(text::StaticAutoDetect));

    ASSERT_TRUE(AwaitUntil([this] { return !dialog_->autoDetectWindow().IsOpen(); }));
    EXPECT_FALSE(dialog_->IsAutoDetecting());
    ExpectOnlyTheFirstJobMarked();
    EXPECT_TRUE(driver_.Messages().empty());
}

// A click while a pass goes says so and starts no second pass; the first one goes on.
TEST_F(AutoDetectTest, ASecondClickDuringAPassIsToldToWait) {
    // Thousands of files that an incremental job has seen already keep the pass walking.
    std::filesystem::create_directories(source2 / "many");
    for (int i = 0; i < 500; ++i) {
        std::ofstream(source2 / "many" / ("f" + std::to_string(i))).put('x');
    }
    folder_.Change([](JobTable& table) {
        table.jobs[1].backupType = static_cast<std::uint32_t>(BackupType::Inc);
        table.jobs[1].lastIncTime = 4000000000u;
    });
    Open();

    Click(dialog(), IDC_AUTO_DETECT);
    Click(dialog(), IDC_AUTO_DETECT);
    ASSERT_TRUE(driver_.AwaitMessage());
    EXPECT_EQ(driver_.Messages(), Entries{u"Already using Auto-Detect. please, wait..."});

    ASSERT_TRUE(AwaitUntil([this] { return !dialog_->autoDetectWindow().IsOpen(); }));
    ExpectOnlyTheFirstJobMarked();
}

// The periodic timer starts a pass, without a window, only while auto-detect is on.
TEST_F(AutoDetectTest, ThePeriodicTimerLooksOnlyWhenSwitchedOn) {
    folder_.Write("Option.ini", "[HowToBackup]\nAutoDetect=0\n");
    Open();
    ::SendMessageW(dialog(), WM_TIMER, IDT_AUTO_DETECT, 0);
    EXPECT_FALSE(dialog_->IsAutoDetecting());

    StoreValue(stores_.option, u"HowToBackup", u"AutoDetect", u"1");
    ::SendMessageW(dialog(), WM_TIMER, IDT_AUTO_DETECT, 0);
    EXPECT_TRUE(dialog_->IsAutoDetecting());
    EXPECT_FALSE(dialog_->autoDetectWindow().IsOpen());
    ASSERT_TRUE(AwaitUntil([this] { return !dialog_->IsAutoDetecting(); }));
    PumpMessages();
    ExpectOnlyTheFirstJobMarked();
}

}  // namespace
}  // namespace arkivo::test

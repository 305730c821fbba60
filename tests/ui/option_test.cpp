// The option dialog's pages keep every choice in "Option.ini" the moment it is made; OK
// brings the Run key in line with the start-up choice.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gui_support.h"
#include "platform/registry.h"
#include "settings/lang_ini.h"
#include "ui/options/option_dlg.h"
#include "ui/options/scheduler_page.h"
#include "ui/options/startup_registration.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

constexpr int kUp = -1;  // the up arrow of a spin control with its default range
constexpr int kDown = 1;

class OptionTest : public MainDialogTest {
  protected:
    void SetUp() override { platform::DeleteUserValue(ui::kRunKey, ui::kRunValue); }
    void TearDown() override {
        options_.reset();
        platform::DeleteUserValue(ui::kRunKey, ui::kRunValue);
        MainDialogTest::TearDown();
    }

    // The option dialog over the main window, as its option button opens it, but modeless.
    void OpenOptions() {
        if (dialog_ == nullptr) {
            Open();
        }
        options_ = std::make_unique<ui::CTabDialog>(*context_, mirror_);
        ASSERT_TRUE(options_->Create(dialog()));
        ::ShowWindow(options_->hwnd(), SW_SHOW);
        PumpMessages();
    }
    HWND PageOf(int tab) {
        options_->ChooseTab(tab);
        PumpMessages();
        return options_->Page(tab)->hwnd();
    }
    static void Spin(HWND page, int spin, int delta) {
        NMUPDOWN change{};
        change.hdr.hwndFrom = ::GetDlgItem(page, spin);
        change.hdr.idFrom = static_cast<UINT_PTR>(spin);
        change.hdr.code = UDN_DELTAPOS;
        change.iDelta = delta;
        ::SendMessageW(page, WM_NOTIFY, spin, reinterpret_cast<LPARAM>(&change));
    }
    static void Choose(HWND page, int list, int index) {
        ::SendDlgItemMessageW(page, list, CB_SETCURSEL, index, 0);
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page, list)));
    }
    static bool Checked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)); }
    std::optional<std::u16string> RunValue() const {
        return platform::ReadUserString(ui::kRunKey, ui::kRunValue);
    }

    ui::OptionBlock mirror_;
    std::unique_ptr<ui::CTabDialog> options_;
};

// Each choice of the general page is in the file at once, before OK, and the next opening
// shows it; the language itself changes only with OK.
TEST_F(OptionTest, TheGeneralPageWritesEachChoiceAtOnceAndShowsItAgain) {
    OpenOptions();
    HWND page = PageOf(0);
    EXPECT_EQ(ItemText(page, IDC_REG_STARTUP), folder_.English(text::OptionRegStart));
    EXPECT_FALSE(Enabled(page, IDC_CYCLE_TIME));

    Click(page, IDC_REG_STARTUP);
    Click(page, IDC_AUTO_DETECT_ON);
    EXPECT_TRUE(Enabled(page, IDC_CYCLE_TIME));
    EXPECT_TRUE(Enabled(page, IDC_CYCLE_SPIN));
    Spin(page, IDC_CYCLE_SPIN, kDown);
    EXPECT_EQ(ItemText(page, IDC_CYCLE_TIME), u"23") << "down from an empty box";
    Spin(page, IDC_CYCLE_SPIN, kUp);
    EXPECT_EQ(ItemText(page, IDC_CYCLE_TIME), u"0") << "up from 23";
    Spin(page, IDC_CYCLE_SPIN, kUp);
    Choose(page, IDC_LANGUAGE_LIST, 2);
    Click(page, IDC_AUTO_UPDATE);
    EXPECT_EQ(folder_.Stored("Option.ini", u"HowToBackup"),
              (Entries{u"RegStartup=1", u"AutoDetect=1", u"AutoDetectCycleTime=1", u"SelLang=2",
                       u"AutoUpdate=1"}));
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_LABEL), folder_.English(text::StaticBase));
    EXPECT_FALSE(RunValue().has_value()) << "the Run key waits for OK";

    Click(page, IDC_MANUAL_UPDATE);
    Click(page, IDC_AUTO_DETECT_ON);
    EXPECT_FALSE(Enabled(page, IDC_CYCLE_TIME));
    EXPECT_EQ(folder_.Stored("Option.ini", u"HowToBackup"),
              (Entries{u"RegStartup=1", u"AutoDetect=0", u"AutoDetectCycleTime=1", u"SelLang=2",
                       u"AutoUpdate=0"}));

    Click(options_->hwnd(), IDCANCEL);
    OpenOptions();
    page = PageOf(0);
    EXPECT_TRUE(Checked(page, IDC_REG_STARTUP));
    EXPECT_FALSE(Checked(page, IDC_AUTO_DETECT_ON));
    EXPECT_EQ(ItemText(page, IDC_CYCLE_TIME), u"1");
    EXPECT_EQ(::SendDlgItemMessageW(page, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(Checked(page, IDC_MANUAL_UPDATE));
    EXPECT_FALSE(Checked(page, IDC_AUTO_UPDATE));
}

// Cancel leaves the Run key alone; OK writes the program's full path, or removes the value,
// as the start-up choice says, and hands the choices to the main window.
TEST_F(OptionTest, OkWritesOrRemovesTheRunValueAndCancelLeavesIt) {
    OpenOptions();
    Click(PageOf(0), IDC_REG_STARTUP);
    Click(options_->hwnd(), IDCANCEL);
    EXPECT_FALSE(RunValue().has_value());
    EXPECT_EQ(mirror_.m_regStartup, 0);

    OpenOptions();
    Click(PageOf(0), IDC_AUTO_DETECT_ON);
    Click(options_->hwnd(), IDOK);
    EXPECT_EQ(RunValue(), (folder_ / "Arkivo.exe").u16string());
    EXPECT_EQ(mirror_.m_regStartup, 1);
    EXPECT_EQ(mirror_.m_autoDetect, 1);

    OpenOptions();
    Click(PageOf(0), IDC_REG_STARTUP);
    Click(options_->hwnd(), IDOK);
    EXPECT_FALSE(RunValue().has_value());
    EXPECT_EQ(mirror_.m_regStartup, 0);
    PumpMessages();
    EXPECT_TRUE(driver_.Messages().empty());
}

// The update button keeps the request, closes the options and has the main window start the
// updater, which is missing here.
TEST_F(OptionTest, TheUpdateButtonAsksTheMainWindowForTheUpdater) {
    Open();
    driver_.OnDialog(u"Option", [](HWND options) {
        ::PostMessageW(FindControl(options, IDC_UPDATE_NOW), BM_CLICK, 0, 0);
        return true;
    });
    Click(dialog(), IDC_OPTION);
    ASSERT_TRUE(driver_.AwaitMessage());
    EXPECT_EQ(driver_.Messages(), Entries{u"There is no ZENDRAKE.exe"});
    EXPECT_EQ(folder_.Stored("Option.ini", u"HowToBackup"), Entries{u"BtnUpdate=1"});
    EXPECT_TRUE(::IsWindow(dialog())) << "the program goes on";
}

// With the updater in the program folder, the same button starts it there and the main
// window ends, leaving the program to the updater.
TEST_F(OptionTest, TheUpdateButtonStartsTheUpdaterBesideTheProgramAndEndsTheMainWindow) {
    const auto updater = folder_ / "ZENDRAKE.exe";
    std::filesystem::copy_file(ARKIVO_MARKER_PROGRAM, updater);
    const auto mark = folder_ / "ZENDRAKE.exe.ran";
    Open();
    const HWND main = dialog();
    driver_.OnDialog(u"Option", [](HWND options) {
        ::PostMessageW(FindControl(options, IDC_UPDATE_NOW), BM_CLICK, 0, 0);
        return true;
    });
    Click(main, IDC_OPTION);
    for (int round = 0; round < 400 && !std::filesystem::exists(mark); ++round) {
        PumpMessages();
    }
    ASSERT_TRUE(std::filesystem::exists(mark)) << "the updater did not run";
    std::ifstream in(mark, std::ios::binary);
    const std::u8string ran{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(ran), updater));
    PumpMessages();
    EXPECT_TRUE(driver_.Messages().empty());
    EXPECT_EQ(folder_.Stored("Option.ini", u"HowToBackup"), Entries{u"BtnUpdate=1"});
    EXPECT_FALSE(::IsWindow(main)) << "the main window ends for the updater";
}

// The scheduler page: its time boxes take what is typed as the number it reads as, warn of
// an hour or minute that no clock shows and name it while it is stored; the arrows wrap.
TEST_F(OptionTest, TheSchedulerPageStoresTheTimeAndNamesOneThatNeverComes) {
    folder_.Write("Option.ini", "[Scheduler]\nHour=25\nMin=5\n");
    OpenOptions();
    HWND page = PageOf(1);
    const auto neverHour = folder_.English(text::SchedulerMsgErrHour);
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_HOUR), u"25");
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_NEVER), neverHour);
    EXPECT_FALSE(Enabled(page, IDC_SCHEDULE_HOUR)) << "the scheduler is off";
    EXPECT_FALSE(Enabled(page, IDC_REPEAT_WEEKLY));
    EXPECT_FALSE(Checked(page, IDC_REPEAT_DAILY));
    EXPECT_EQ(static_cast<ui::CScheduler*>(options_->Page(1))->RepeatPage(), nullptr);

    Click(page, IDC_USE_SCHEDULER);
    EXPECT_TRUE(Enabled(page, IDC_SCHEDULE_HOUR));
    SetItemText(page, IDC_SCHEDULE_HOUR, u"abc");
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_HOUR), u"0");
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_NEVER), u"");
    Spin(page, IDC_HOUR_SPIN, kDown);
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_HOUR), u"23");
    Spin(page, IDC_MINUTE_SPIN, kDown);
    SetItemText(page, IDC_SCHEDULE_MINUTE, u"60");
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::SchedulerMsgErrMin)});
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_NEVER), folder_.English(text::SchedulerMsgErrMin));
    EXPECT_EQ(folder_.Stored("Option.ini", u"Scheduler"),
              (Entries{u"Hour=23", u"Min=60", u"UseScheduler=1"}));
    Spin(page, IDC_MINUTE_SPIN, kUp);
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_MINUTE), u"1") << "60 counts as 0";
    EXPECT_EQ(ItemText(page, IDC_SCHEDULE_NEVER), u"");
    EXPECT_EQ(folder_.Stored("Option.ini", u"Scheduler"),
              (Entries{u"Hour=23", u"Min=1", u"UseScheduler=1"}));
}

// The repeat choice shows its page in the frame; the days and the date are stored at once.
TEST_F(OptionTest, TheRepeatPagesStoreTheDaysAndTheDate) {
    folder_.Write("Option.ini", "[Scheduler]\nUseScheduler=1\nHowToRepeat=2\n");
    OpenOptions();
    HWND page = PageOf(1);
    auto* scheduler = static_cast<ui::CScheduler*>(options_->Page(1));
    ASSERT_NE(scheduler->RepeatPage(), nullptr);
    HWND weekly = scheduler->RepeatPage()->hwnd();
    EXPECT_TRUE(::IsWindowVisible(weekly));
    EXPECT_EQ(ItemText(weekly, IDC_WEEK_MON), folder_.English(text::WeekMon));
    RECT frame{}, shown{};
    ::GetWindowRect(::GetDlgItem(page, IDC_REPEAT_FRAME), &frame);
    ::GetWindowRect(weekly, &shown);
    EXPECT_TRUE(::EqualRect(&frame, &shown)) << "the page fills the frame";
    Click(weekly, IDC_WEEK_MON);
    Click(weekly, IDC_WEEK_SAT);
    Click(weekly, IDC_WEEK_SAT);

    Click(page, IDC_REPEAT_MONTHLY);
    EXPECT_FALSE(::IsWindowVisible(weekly));
    HWND monthly = scheduler->RepeatPage()->hwnd();
    EXPECT_TRUE(::IsWindowVisible(monthly));
    SetItemText(monthly, IDC_MONTH_DAY, u"31");
    EXPECT_TRUE(driver_.Messages().empty());
    SetItemText(monthly, IDC_MONTH_DAY, u"32");
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::MonthMsgErrDay)});
    EXPECT_EQ(folder_.Stored("Option.ini", u"Scheduler"),
              (Entries{u"UseScheduler=1", u"HowToRepeat=3", u"MON=1", u"SAT=0", u"DATE=32"}));
}

// The report lists can be chosen only with the report on.
TEST_F(OptionTest, TheReportPageStoresEachBoxAtOnce) {
    OpenOptions();
    HWND page = PageOf(3);
    EXPECT_EQ(ItemText(page, IDC_REPORT_ON), folder_.English(text::ReportOn));
    EXPECT_FALSE(Enabled(page, IDC_REPORT_CREATED));
    Click(page, IDC_REPORT_ON);
    EXPECT_TRUE(Enabled(page, IDC_REPORT_CREATED));
    Click(page, IDC_REPORT_CREATED);
    Click(page, IDC_REPORT_DELETED);
    EXPECT_EQ(folder_.Stored("Option.ini", u"Report"),
              (Entries{u"ReportOn=1", u"ReportCreatedOn=1", u"ReportDeletedOn=1"}));
    Click(page, IDC_REPORT_ON);
    EXPECT_FALSE(Enabled(page, IDC_REPORT_DELETED));
    EXPECT_EQ(folder_.Stored("Option.ini", u"Report"),
              (Entries{u"ReportOn=0", u"ReportCreatedOn=1", u"ReportDeletedOn=1"}));
    EXPECT_EQ(ItemText(PageOf(2), IDC_DONATE_TEXT), folder_.English(text::DonateMessage));
}

}  // namespace
}  // namespace arkivo::test

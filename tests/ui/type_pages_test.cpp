// The backup type pages in the job editor's frame: the check boxes change the job at once,
// whatever the editor's OK or Cancel, and the period waits for OK.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include "gui_support.h"
#include "jobs/job_flags.h"
#include "platform/clock.h"
#include "settings/lang_ini.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

class TypePageTest : public JobEditorTest {
  protected:
    HWND PageOf(BackupType type) const {
        const ui::CDialog* page = dialog_->TypePage(type);
        return page != nullptr ? page->hwnd() : nullptr;
    }
    bool TakesDotFolders(std::size_t job) const {
        CLangIni setting;
        setting.Open(folder_ / "Setting.ini");
        return ReadTakeDotFolders(setting, job);
    }
    static std::int64_t Local(int year, int month, int day, int hour, int minute) {
        const auto instant = platform::FromLocalTime({year, month, day, hour, minute, 0, 0});
        EXPECT_TRUE(instant.has_value());
        return instant.value_or(0);
    }
    static SYSTEMTIME Picked(HWND page, int picker) {
        SYSTEMTIME time{};
        EXPECT_EQ(DateTime_GetSystemtime(::GetDlgItem(page, picker), &time), GDT_VALID);
        return time;
    }
};

// The synchronisation page fills the frame; its deletion and dot-folder boxes are in
// Setting.ini at once and stay there when the editor is cancelled.
TEST_F(TypePageTest, TheSyncPageKeepsDeletionAndDotFoldersAtOnce) {
    Open(1);
    const HWND page = PageOf(BackupType::Sync);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(::IsWindowVisible(page));
    RECT frame{}, shown{};
    ::GetWindowRect(::GetDlgItem(editor(), IDC_TYPE_PAGE_FRAME), &frame);
    ::GetWindowRect(page, &shown);
    EXPECT_TRUE(::EqualRect(&frame, &shown));
    EXPECT_EQ(ItemText(page, IDC_TYPE_PAGE_TEXT), folder_.English(text::TypeSyncBackup));
    EXPECT_FALSE(::IsDlgButtonChecked(page, IDC_TAKE_DOT_FOLDERS));

    Click(page, IDC_SYNC_DELETE);
    EXPECT_EQ(folder_.Stored("Setting.ini", u"2"), Entries{u"SyncDelNoSrc=1"});
    Click(page, IDC_SYNC_DELETE);
    Click(page, IDC_TAKE_DOT_FOLDERS);
    Click(editor(), IDCANCEL);
    EXPECT_EQ(folder_.Stored("Setting.ini", u"2").front(), u"SyncDelNoSrc=0");
    EXPECT_TRUE(TakesDotFolders(1));
    EXPECT_FALSE(TakesDotFolders(0));
}

// Each type shows its own page; the ZIP box changes the job at once, and the next page with
// one shows the change.
TEST_F(TypePageTest, TheZipBoxChangesTheJobAtOnceEvenWhenTheEditorIsCancelled) {
    Open(0);
    Click(editor(), IDC_TYPE_DIF);
    const HWND dif = PageOf(BackupType::Dif);
    ASSERT_NE(dif, nullptr);
    EXPECT_FALSE(::IsWindowVisible(PageOf(BackupType::Sync)));
    EXPECT_TRUE(::IsWindowVisible(dif));
    EXPECT_EQ(ItemText(dif, IDC_TYPE_PAGE_TEXT), folder_.English(text::TypeDifBackup));
    Click(dif, IDC_ZIP_OPTION);
    EXPECT_EQ(folder_.Load().jobs[0].zipOption, 1u);

    Click(editor(), IDC_TYPE_INC);
    const HWND inc = PageOf(BackupType::Inc);
    ASSERT_NE(inc, nullptr);
    EXPECT_FALSE(::IsWindowVisible(dif));
    EXPECT_TRUE(::IsDlgButtonChecked(inc, IDC_ZIP_OPTION));
    Click(editor(), IDCANCEL);
    EXPECT_EQ(folder_.Load().jobs[0].zipOption, 1u);
    EXPECT_EQ(folder_.Load().jobs[0].backupType, static_cast<std::uint32_t>(BackupType::Sync));
}

// The pickers open at the stored period, so OK without a change keeps its end; a changed start
// is stored as the local time picked.
TEST_F(TypePageTest, ThePeriodPageOpensAtTheStoredPeriodAndOkStoresWhatIsPicked) {
    const auto start = Local(2009, 3, 1, 13, 30);
    const auto end = Local(2009, 3, 31, 18, 0);
    folder_.Change([&](JobTable& table) {
        table.jobs[0].backupType = static_cast<std::uint32_t>(BackupType::Spd);
        table.jobs[0].periodStart = static_cast<std::uint64_t>(start);
        table.jobs[0].periodEnd = static_cast<std::uint64_t>(end);
    });
    Open(0);
    const HWND page = PageOf(BackupType::Spd);
    ASSERT_NE(page, nullptr);
    const SYSTEMTIME startDate = Picked(page, IDC_PERIOD_START_DATE);
    const SYSTEMTIME startTime = Picked(page, IDC_PERIOD_START_TIME);
    EXPECT_EQ(startDate.wYear, 2009);
    EXPECT_EQ(startDate.wMonth, 3);
    EXPECT_EQ(startDate.wDay, 1);
    EXPECT_EQ(startTime.wHour, 13);
    EXPECT_EQ(startTime.wMinute, 30);
    const SYSTEMTIME endDate = Picked(page, IDC_PERIOD_END_DATE);
    const SYSTEMTIME endTime = Picked(page, IDC_PERIOD_END_TIME);
    EXPECT_EQ(endDate.wDay, 31);
    EXPECT_EQ(endTime.wHour, 18);

    SYSTEMTIME moved = startDate;
    moved.wDay = 2;
    DateTime_SetSystemtime(::GetDlgItem(page, IDC_PERIOD_START_DATE), GDT_VALID, &moved);
    Click(editor(), IDOK);
    const auto job = folder_.Load().jobs[0];
    EXPECT_EQ(job.periodStart, static_cast<std::uint64_t>(Local(2009, 3, 2, 13, 30)));
    EXPECT_EQ(job.periodEnd, static_cast<std::uint64_t>(end));
}

}  // namespace
}  // namespace arkivo::test

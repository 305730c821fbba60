// The main dialog: registering jobs, ticking them, deleting and editing them from the list.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include "gui_support.h"
#include "settings/lang_ini.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

using RegisterTest = MainDialogTest;

// The register button or Enter in a path adds the row and the job; Escape leaves the dialog
// open; the same pair in other case is refused.
TEST_F(RegisterTest, AJobRegisteredByClickOrEnterAppearsInTheListAndTheFileOnce) {
    Open();
    SetItemText(dialog(), IDC_BASE_PATH, u"C:\\Photos");
    SetItemText(dialog(), IDC_TARGET_PATH, u"D:\\Backup");
    Click(dialog(), IDC_REGISTER);
    PumpMessages();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), u"1");
    EXPECT_EQ(Cell(0, 1), u"C:\\Photos");
    EXPECT_EQ(Cell(0, 2), u"D:\\Backup");
    EXPECT_TRUE(ListView_GetCheckState(list(), 0));
    auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\Photos");
    EXPECT_EQ(table.lastTargetPath, u"D:\\Backup");

    SetItemText(dialog(), IDC_BASE_PATH, u"C:\\Mail");
    SetItemText(dialog(), IDC_TARGET_PATH, u"D:\\Mail");
    const HWND target = ::GetDlgItem(dialog(), IDC_TARGET_PATH);
    ::SetFocus(target);
    MSG enter{target, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    ::IsDialogMessageW(dialog(), &enter);
    MSG escape{target, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    ::IsDialogMessageW(dialog(), &escape);
    PumpMessages();
    ASSERT_EQ(Rows(), 2);
    EXPECT_TRUE(::IsWindowVisible(dialog()));
    EXPECT_TRUE(driver_.Messages().empty());

    SetItemText(dialog(), IDC_BASE_PATH, u"c:\\MAIL");
    SetItemText(dialog(), IDC_TARGET_PATH, u"d:\\mail");
    Click(dialog(), IDC_REGISTER);
    ASSERT_TRUE(driver_.AwaitMessage());
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(folder_.Load().jobs.size(), 2u);
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::RootAlreadyRegistered)});
}

using TickTest = MainDialogTest;

TEST_F(TickTest, TickingAndUntickingSavesAtOnce) {
    folder_.AddJobs(3);
    Open();
    ASSERT_EQ(Rows(), 3);
    ListView_SetCheckState(list(), 1, FALSE);
    PumpMessages();
    auto table = folder_.Load();
    EXPECT_EQ(table.jobs[0].checked, 1u);
    EXPECT_EQ(table.jobs[1].checked, 0u);
    EXPECT_EQ(table.jobs[2].checked, 1u);
    ListView_SetCheckState(list(), 1, TRUE);
    ListView_SetCheckState(list(), 2, FALSE);
    PumpMessages();
    table = folder_.Load();
    EXPECT_EQ(table.jobs[1].checked, 1u);
    EXPECT_EQ(table.jobs[2].checked, 0u);
}

TEST_F(TickTest, ARowWithFilesToCopyIsDrawnRed) {
    folder_.AddJobs(2);
    folder_.Write("Setting.ini", "[2]\nThereisFileToCopy=1\n");
    Open();
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = 1;
    dialog_->jobList().OnCustomDraw(draw);
    EXPECT_EQ(draw.clrText, RGB(255, 0, 0));
    draw.nmcd.dwItemSpec = 0;
    dialog_->jobList().OnCustomDraw(draw);
    EXPECT_EQ(draw.clrText, RGB(0, 0, 0));
    // The first look at a row without the key writes it as "0".
    EXPECT_EQ(stores_.setting.GetValue(u"1", u"ThereisFileToCopy"), u"0");
    EXPECT_EQ(folder_.Stored("Setting.ini", u"1"), Entries{u"ThereisFileToCopy=0"});
}

// With more rows than the list shows, the vertical scroll bar takes room from the columns.
TEST_F(TickTest, ManyJobsLeaveEveryColumnInSightWithoutSidewaysScrolling) {
    folder_.AddJobs(30);
    Open();
    PumpMessages();
    ASSERT_NE(::GetWindowLongPtrW(list(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(::GetWindowLongPtrW(list(), GWL_STYLE) & WS_HSCROLL, 0);
    RECT client{};
    ::GetClientRect(list(), &client);
    RECT lastUpdated{};
    Header_GetItemRect(ListView_GetHeader(list()), 3, &lastUpdated);
    EXPECT_LE(lastUpdated.right, client.right);
    EXPECT_GE(lastUpdated.right - lastUpdated.left, 100);
}

using DeleteTest = MainDialogTest;

// One job, then more than 99 at once: the rest are renumbered and their sections move along.
TEST_F(DeleteTest, DeletingSelectedJobsRenumbersTheRestAndTheirSections) {
    folder_.AddJobs(130);
    folder_.Write("Filter.ini", "[3]\n1=*.tmp\n[4]\n1=*.bak\n");
    folder_.Write("Setting.ini", "[2]\nSyncDelNoSrc=1\n[3]\nSyncDelNoSrc=1\n");
    Open();
    SelectRows(list(), {1});
    ::SendMessageW(list(), WM_COMMAND, ID_JOBLIST_DELETE, 0);
    PumpMessages();
    ASSERT_EQ(Rows(), 129);
    EXPECT_EQ(Cell(1, 0), u"2");
    EXPECT_EQ(Cell(1, 1), u"C:\\base3");
    EXPECT_EQ(folder_.Load().jobs[2].basePath, u"C:\\base4");
    EXPECT_EQ(folder_.Stored("Filter.ini", u"2"), Entries{u"1=*.tmp"});
    EXPECT_EQ(folder_.Stored("Filter.ini", u"3"), Entries{u"1=*.bak"});
    CLangIni setting;
    setting.Open(folder_ / "Setting.ini");
    EXPECT_EQ(setting.GetValue(u"2", u"SyncDelNoSrc"), u"1");

    std::vector<int> rows;
    for (int row = 0; row < 119; ++row) {
        rows.push_back(row);
    }
    SelectRows(list(), rows);
    ::SendMessageW(list(), WM_COMMAND, ID_JOBLIST_DELETE, 0);
    PumpMessages();
    EXPECT_EQ(Rows(), 10);
    const auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 10u);
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\base121");
    EXPECT_EQ(table.jobs[9].jobNumber, 10u);
}

using EditTest = MainDialogTest;

// The editor opens with the job's type and patterns, and OK saves the sides and type changed.
TEST_F(EditTest, TheEditorShowsAndChangesTheJobsSidesAndType) {
    folder_.AddJobs(2);
    folder_.Write("Filter.ini", "[2]\n1=*.tmp\n2=cache\\*\n");
    folder_.Write("FilterInc.ini", "[2]\n1=*.doc\n");
    folder_.Change([](JobTable& table) {
        table.jobs[1].backupType = static_cast<std::uint32_t>(BackupType::Inc);
    });
    Open();
    std::atomic<int> excludes{-1}, includes{-1};
    std::atomic<bool> incChecked{false};
    driver_.OnDialog(u"Modification", [&](HWND editor) {
        if (ItemText(editor, IDC_MODIFY_BASE) != u"C:\\base2") {
            return false;
        }
        excludes = ListView_GetItemCount(::GetDlgItem(editor, IDC_EXCLUDE_LIST));
        includes = ListView_GetItemCount(::GetDlgItem(editor, IDC_INCLUDE_LIST));
        incChecked = ::IsDlgButtonChecked(editor, IDC_TYPE_INC) == BST_CHECKED;
        SetItemText(editor, IDC_MODIFY_BASE, u"C:\\Edited");
        ::SendMessageW(::GetDlgItem(editor, IDC_TYPE_DIF), BM_CLICK, 0, 0);
        ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
        return true;
    });
    SelectRows(list(), {1});
    ::SendMessageW(list(), WM_COMMAND, ID_JOBLIST_MODIFY, 0);
    PumpMessages();

    EXPECT_EQ(excludes, 2);
    EXPECT_EQ(includes, 1);
    EXPECT_TRUE(incChecked);
    const auto table = folder_.Load();
    EXPECT_EQ(table.jobs[1].basePath, u"C:\\Edited");
    EXPECT_EQ(table.jobs[1].targetPath, u"D:\\target2");
    EXPECT_EQ(table.jobs[1].backupType, static_cast<std::uint32_t>(BackupType::Dif));
    EXPECT_EQ(table.jobs[0].basePath, u"C:\\base1");
    EXPECT_EQ(Cell(1, 1), u"C:\\Edited");
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_PATH), u"C:\\Edited");
}

TEST_F(EditTest, TheEditorRefusesThePairOfAnotherJob) {
    folder_.AddJobs(2);
    Open();
    const auto before = folder_.Load();
    driver_.OnDialog(u"Modification", [](HWND editor) {
        SetItemText(editor, IDC_MODIFY_BASE, u"c:\\BASE1");
        SetItemText(editor, IDC_MODIFY_TARGET, u"d:\\target1");
        ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
        return true;
    });
    SelectRows(list(), {1});
    ::SendMessageW(list(), WM_COMMAND, ID_JOBLIST_MODIFY, 0);
    ASSERT_TRUE(driver_.AwaitMessage());
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::RootAlreadyRegistered)});
    EXPECT_EQ(folder_.Load(), before);
}

}  // namespace
}  // namespace arkivo::test

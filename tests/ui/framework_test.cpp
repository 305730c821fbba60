// The dialog framework under the windows: pages shown in a frame or a tab control, commands
// routed by control and notification code, notifications handled by the control they are
// about, and calls from a worker thread run on the user-interface thread.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <array>

#include "framework_pages.h"
#include "gui_support.h"
#include "ui/framework/dialog.h"
#include "ui/framework/page_host.h"
#include "ui/framework/subclass.h"
#include "ui/framework/thread_invoker.h"

namespace arkivo::test {
namespace {

class HostDialog : public ui::CDialog {
  public:
    HostDialog() : CDialog(IDD_TEST_HOST) {}
    ui::MessageMap& Map() { return map(); }
};

// Counts what reaches each of its handlers.
class FormPage : public ui::CDialog {
  public:
    FormPage() : CDialog(IDD_TEST_FORM) {
        map().OnCommand(IDC_TEST_EDIT, EN_CHANGE, [this] { ++edits; });
        map().OnCommand(IDC_TEST_EDIT, EN_KILLFOCUS, [this] { ++focusLost; });
        map().OnCommand(IDC_TEST_COMBO, CBN_SELCHANGE, [this] { ++comboChoices; });
        map().OnCommand(IDC_TEST_COMBO, [this] { ++comboCommands; });
        map().OnCommand(IDC_TEST_LISTBOX, LBN_SELCHANGE, [this] { ++listChoices; });
        map().OnCommand(IDC_TEST_BUTTON, [this] { ++presses; });
    }
    int edits = 0, focusLost = 0, comboChoices = 0, comboCommands = 0, listChoices = 0, presses = 0;
};

class PlainPage : public ui::CDialog {
  public:
    PlainPage() : CDialog(IDD_TEST_PLAIN) {}
};

// A list control that takes its own item changes.
class ChangeWatchingList : public ui::CSubclass {
  public:
    ChangeWatchingList() {
        reflected().OnNotify(IDC_TEST_LIST, LVN_ITEMCHANGED, [this](NMHDR&) -> ui::MessageResult {
            ++changes;
            return 0;
        });
    }
    int changes = 0;
};

RECT ScreenRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// Left, top, right and bottom, comparable in expectations.
std::array<LONG, 4> Edges(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Create(nullptr));
        ::ShowWindow(host_.hwnd(), SW_SHOW);
        PumpMessages();
    }

    HostDialog host_;
};

TEST_F(FrameworkTest, APageIsMadeOnFirstUseFillsTheFrameAndIsTheOnlyOneShown) {
    ui::CPageHost pages;
    pages.Attach(host_.Item(IDC_TEST_FRAME));
    int made = 0;
    pages.Add([&made] {
        ++made;
        return std::make_unique<FormPage>();
    });
    pages.Add([&made] {
        ++made;
        return std::make_unique<PlainPage>();
    });
    EXPECT_EQ(pages.Page(0), nullptr);

    ASSERT_TRUE(pages.Show(0));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(pages.Page(1), nullptr);
    const HWND first = pages.Page(0)->hwnd();
    EXPECT_EQ(::GetParent(first), host_.hwnd());
    EXPECT_EQ(Edges(ScreenRect(first)), Edges(ScreenRect(host_.Item(IDC_TEST_FRAME))));
    EXPECT_TRUE(::IsWindowVisible(first));

    ASSERT_TRUE(pages.Show(1));
    const HWND second = pages.Page(1)->hwnd();
    EXPECT_FALSE(::IsWindowVisible(first));
    EXPECT_TRUE(::IsWindowVisible(second));
    EXPECT_EQ(Edges(ScreenRect(second)), Edges(ScreenRect(host_.Item(IDC_TEST_FRAME))));

    ASSERT_TRUE(pages.Show(0));
    EXPECT_EQ(made, 2) << "a page is made once";
    EXPECT_EQ(pages.Page(0)->hwnd(), first);
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_FALSE(::IsWindowVisible(second));
    EXPECT_EQ(pages.current(), 0);

    // Enter and Escape inside a page reach it as OK and Cancel; it stays.
    Click(first, IDOK);
    Click(first, IDCANCEL);
    ::SendMessageW(first, WM_COMMAND, IDCANCEL, 0);
    PumpMessages();
    EXPECT_TRUE(::IsWindow(first));
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_TRUE(::IsWindow(host_.hwnd()));
}

TEST_F(FrameworkTest, APageInATabControlFillsTheAreaBelowTheTabs) {
    const HWND tabs = host_.Item(IDC_TEST_TABS);
    for (const wchar_t* name : {L"General", L"Report"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(name);
        TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
    }
    ui::CPageHost pages;
    pages.Attach(tabs);
    pages.Add([] { return std::make_unique<PlainPage>(); });
    ASSERT_TRUE(pages.Show(0));

    RECT tab{};
    TabCtrl_GetItemRect(tabs, 0, &tab);
    ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
    const RECT control = ScreenRect(tabs);
    const RECT page = ScreenRect(pages.Page(0)->hwnd());
    EXPECT_GE(page.top, tab.bottom);
    EXPECT_GT(page.left, control.left);
    EXPECT_LT(page.right, control.right);
    EXPECT_LT(page.bottom, control.bottom);
    EXPECT_GT(page.bottom - page.top, (control.bottom - control.top) / 2);
}

TEST_F(FrameworkTest, ControlNotificationsReachTheHandlerOfTheirCode) {
    ui::CPageHost pages;
    pages.Attach(host_.Item(IDC_TEST_FRAME));
    pages.Add([] { return std::make_unique<FormPage>(); });
    ASSERT_TRUE(pages.Show(0));
    auto& form = static_cast<FormPage&>(*pages.Page(0));
    const HWND page = form.hwnd();

    ::SetWindowTextW(form.Item(IDC_TEST_EDIT), L"typed");
    ::SetFocus(form.Item(IDC_TEST_EDIT));
    ::SetFocus(form.Item(IDC_TEST_BUTTON));
    const HWND combo = form.Item(IDC_TEST_COMBO);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TEST_LISTBOX, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(form.Item(IDC_TEST_LISTBOX)));
    Click(page, IDC_TEST_BUTTON);
    // An accelerator: code 1 with no control.
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, 1), 0);
    PumpMessages();

    EXPECT_EQ(form.edits, 1);
    EXPECT_EQ(form.focusLost, 1);
    EXPECT_EQ(form.comboChoices, 1);
    EXPECT_EQ(form.comboCommands, 0) << "a choice in a combo box is no click";
    EXPECT_EQ(form.listChoices, 1);
    EXPECT_EQ(form.presses, 2);
}

TEST_F(FrameworkTest, AControlHandlesTheNotificationsAboutItselfAndTheDialogTheRest) {
    int dialogChanges = 0, dialogInserts = 0;
    host_.Map().OnNotify(IDC_TEST_LIST, LVN_ITEMCHANGED, [&](NMHDR&) -> ui::MessageResult {
        ++dialogChanges;
        return 0;
    });
    host_.Map().OnNotify(IDC_TEST_LIST, LVN_INSERTITEM, [&](NMHDR&) -> ui::MessageResult {
        ++dialogInserts;
        return 0;
    });
    ChangeWatchingList list;
    ASSERT_TRUE(list.Attach(host_.Item(IDC_TEST_LIST)));
    EXPECT_EQ(ui::CSubclass::FromWindow(list.hwnd()), &list);

    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    ListView_InsertColumn(list.hwnd(), 0, &column);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"row");
    ListView_InsertItem(list.hwnd(), &item);
    ListView_SetItemState(list.hwnd(), 0, LVIS_SELECTED, LVIS_SELECTED);
    PumpMessages();

    EXPECT_GE(list.changes, 1);
    EXPECT_EQ(dialogChanges, 0);
    EXPECT_EQ(dialogInserts, 1);

    list.Detach();
    EXPECT_EQ(ui::CSubclass::FromWindow(host_.Item(IDC_TEST_LIST)), nullptr);
    ListView_SetItemState(host_.Item(IDC_TEST_LIST), 0, 0, LVIS_SELECTED);
    EXPECT_GE(dialogChanges, 1) << "a detached control's notifications go to the dialog";
}

TEST(ThreadInvoker, AWorkersCallsRunOnTheUserInterfaceThread) {
    ui::CThreadInvoker invoker;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<DWORD> worker{0}, sentOn{0}, postedOn{0};
    std::atomic<bool> done{false};
    int answer = 0;
    std::thread thread([&] {
        worker = ::GetCurrentThreadId();
        answer = invoker.Send([&] {
            sentOn = ::GetCurrentThreadId();
            return 6 * 7;
        });
        invoker.Post([&] { postedOn = ::GetCurrentThreadId(); });
        done = true;
    });
    while (!done) {
        PumpMessages();
    }
    thread.join();
    PumpMessages();

    EXPECT_NE(worker, uiThread);
    EXPECT_EQ(sentOn, uiThread);
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(postedOn, uiThread);
}

TEST(ThreadInvoker, OnItsOwnThreadASendRunsAtOnceAndAPostWaitsForTheMessageLoop) {
    ui::CThreadInvoker invoker;
    bool sent = false, posted = false;
    invoker.Send([&] { sent = true; });
    EXPECT_TRUE(sent);
    invoker.Post([&] { posted = true; });
    EXPECT_FALSE(posted);
    PumpMessages();
    EXPECT_TRUE(posted);

    bool dropped = false;
    {
        ui::CThreadInvoker gone;
        gone.Post([&] { dropped = true; });
    }
    PumpMessages();
    EXPECT_FALSE(dropped) << "a call queued for an invoker that is gone is dropped";
}

}  // namespace
}  // namespace arkivo::test

// The FTP location dialog: its template, what it shows of the caller's FTP settings, how it
// reads what the user typed, its failures, and the server's folders it offers, listed off the
// user-interface thread. The folder tests run against a server kept in memory and against a
// real pyftpdlib server once the platform has an FTP client.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "ftp_servers.h"
#include "gui_support.h"
#include "settings/lang_ini.h"
#include "ui/ftp/ftp_thread.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

// Rounds of PumpMessages before a test gives up waiting for the server.
constexpr int kMaxRounds = 1000;

// The texts of the item's children (TVI_ROOT: the top items), in the tree's order.
Entries Children(HWND tree, HTREEITEM item) {
    Entries texts;
    HTREEITEM child = item == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item);
    for (; child != nullptr; child = TreeView_GetNextSibling(tree, child)) {
        texts.push_back(TreeText(tree, child));
    }
    return texts;
}

class FtpDialogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        dialog_.reset();
        PumpMessages();
    }

    void Open(const ui::FtpConnectionMaker& maker, int language = 0) {
        stores_.LoadAll(folder_.path());
        stores_.ApplyLanguage(language);
        dialog_ = std::make_unique<ui::FtpThread>(stores_.language, location_, credentials_, maker);
        ASSERT_TRUE(dialog_->Create(nullptr));
        ::ShowWindow(window(), SW_SHOW);
        PumpMessages();
    }

    HWND window() const { return dialog_->hwnd(); }
    HWND tree() const { return ::GetDlgItem(window(), IDC_FTP_FOLDERS); }

    // Lets the dialog work until no listing runs (and the window is there to work).
    bool AwaitIdle() {
        for (int i = 0; i < kMaxRounds && dialog_->hwnd() != nullptr && dialog_->IsListing(); ++i) {
            PumpMessages();
        }
        PumpMessages();
        return dialog_->hwnd() == nullptr || !dialog_->IsListing();
    }

    void Type(std::u16string_view server, const FtpCredentials& login) {
        SetItemText(window(), IDC_FTP_SERVER, server);
        SetItemText(window(), IDC_FTP_USER, login.user);
        SetItemText(window(), IDC_FTP_PASSWORD, login.password);
        SetItemText(window(), IDC_FTP_PORT, ToDecimalUnsigned(login.port));
    }

    // As the user expands a folder: the plus key on the selected item, collapsed first when
    // choosing it expanded it already.
    void ExpandByUser(HTREEITEM item) {
        TreeView_SelectItem(tree(), item);
        ASSERT_TRUE(AwaitIdle());
        if (TreeView_GetItemState(tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) {
            ::SendMessageW(tree(), WM_KEYDOWN, VK_SUBTRACT, 0);
            ASSERT_TRUE(AwaitIdle());
        }
        ::SendMessageW(tree(), WM_KEYDOWN, VK_ADD, 0);
        ASSERT_TRUE(AwaitIdle());
    }

    std::u16string Language(const TextKey& key) { return stores_.language.GetValue(key); }

    ProgramFolder folder_;
    AppStores stores_;
    std::u16string location_;
    FtpCredentials credentials_;
    std::unique_ptr<ui::FtpThread> dialog_;
    ModalDriver driver_;
};

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD styles;          // all of these must be set
    const char16_t* text;  // nullptr: not checked
};

const ExpectedControl kControls[] = {
    {IDC_FTP_SERVER, L"Edit", ES_AUTOHSCROLL, nullptr},
    {IDC_FTP_USER, L"Edit", ES_AUTOHSCROLL, nullptr},
    {IDC_FTP_PASSWORD, L"Edit", ES_PASSWORD, nullptr},
    {IDC_FTP_PORT, L"Edit", ES_NUMBER, nullptr},
    {IDC_FTP_PASSIVE, L"Button", BS_AUTOCHECKBOX, u"Passive mode"},
    {IDC_FTP_CONNECT, L"Button", 0, u"Connect"},
    {IDC_FTP_FOLDERS, L"SysTreeView32",
     TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SINGLEEXPAND, nullptr},
    {IDOK, L"Button", BS_DEFPUSHBUTTON, nullptr},
    {IDCANCEL, L"Button", 0, nullptr},
};

std::vector<HWND> ChildWindows(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// How wide the control's text is drawn in its own font, plus the box of a check box.
int NeededWidth(HWND control) {
    const std::u16string text = Text(control);
    const std::wstring wide(text.begin(), text.end());
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    const bool box = ClassOf(control) == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    // A push button's text needs room for its edges too.
    const bool push = ClassOf(control) == L"Button" && !box;
    return size.cx + (box ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0) + (push ? 6 : 0);
}

class FtpDialogLanguageTest : public FtpDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(FtpDialogLanguageTest, TheTemplateHoldsItsControlsWithEveryTextInFull) {
    MemoryFtpServer server;
    Open(server.Maker(), GetParam());
    EXPECT_EQ(dialog_->templateId(), 142);
    EXPECT_EQ(Text(window()), u"FTP SETUP");
    for (const auto& expected : kControls) {
        const HWND control = ::GetDlgItem(window(), expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        EXPECT_EQ(ClassOf(control), expected.className) << expected.id;
        const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
        if (expected.styles == BS_AUTOCHECKBOX || expected.styles == BS_DEFPUSHBUTTON) {
            EXPECT_EQ(style & BS_TYPEMASK, expected.styles) << expected.id;
        } else {
            EXPECT_EQ(style & expected.styles, expected.styles) << expected.id;
        }
        if (expected.text != nullptr) {
            EXPECT_EQ(Text(control), expected.text) << expected.id;
        }
    }
    EXPECT_EQ(ItemText(window(), IDOK), Language(text::OptionOk));
    EXPECT_EQ(ItemText(window(), IDCANCEL), Language(text::OptionCancel));

    // The labels, in the order the template places them.
    Entries labels;
    for (HWND child : ChildWindows(window())) {
        if (ClassOf(child) == L"Static") {
            labels.push_back(Text(child));
        }
    }
    EXPECT_EQ(labels, (Entries{u"ftp://", u"ID", u"PASSWORD", u"PORT"}));

    for (HWND child : ChildWindows(window())) {
        if (ClassOf(child) != L"Static" && ClassOf(child) != L"Button") {
            continue;
        }
        RECT area{};
        ::GetClientRect(child, &area);
        EXPECT_LE(NeededWidth(child), area.right - area.left)
            << "cut off: " << Utf16ToUtf8(Text(child)) << " (" << ::GetDlgCtrlID(child) << ")";
    }

    // The folder pictures: one 16x16 image from the template's bitmap.
    const HIMAGELIST images = TreeView_GetImageList(tree(), TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(ImageList_GetImageCount(images), 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, FtpDialogLanguageTest, ::testing::Values(0, 1, 2));

TEST_F(FtpDialogTest, OpensOnTheCallersLocationAndSettings) {
    MemoryFtpServer server;
    location_ = u"files.example.org/backup/daily";
    credentials_ = {u"ada", u"secret", 2121, 0};
    Open(server.Maker());
    EXPECT_EQ(ItemText(window(), IDC_FTP_SERVER), u"files.example.org/backup/daily");
    EXPECT_EQ(ItemText(window(), IDC_FTP_USER), u"ada");
    EXPECT_EQ(ItemText(window(), IDC_FTP_PASSWORD), u"secret");
    EXPECT_EQ(ItemText(window(), IDC_FTP_PORT), u"2121");
    EXPECT_EQ(::IsDlgButtonChecked(window(), IDC_FTP_PASSIVE), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_NE(::SendDlgItemMessageW(window(), IDC_FTP_PASSWORD, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_FALSE(dialog_->IsConnected());
}

TEST_F(FtpDialogTest, TheHostIsWhatWasTypedBeforeTheFirstSlashWithoutTheScheme) {
    MemoryFtpServer server;
    Open(server.Maker());
    for (const char16_t* typed : {u"127.0.0.1/a/b", u"ftp://127.0.0.1", u"FTP://127.0.0.1/a"}) {
        SCOPED_TRACE(Utf16ToUtf8(typed));
        dialog_.reset();
        Open(server.Maker());
        Type(typed, server.Login());
        Click(window(), IDC_FTP_CONNECT);
        ASSERT_TRUE(AwaitIdle());
        ASSERT_FALSE(server.state().logins.empty());
        const auto& login = server.state().logins.back();
        EXPECT_EQ(login.host, u"127.0.0.1");
        EXPECT_EQ(login.port, 2121);
        EXPECT_EQ(login.user, u"u");
        EXPECT_EQ(login.password, u"p");
        EXPECT_TRUE(dialog_->IsConnected());
        // Copied into the caller's storage as the connection was made.
        EXPECT_EQ(location_, u"127.0.0.1");
        EXPECT_EQ(credentials_.user, u"u");
        EXPECT_EQ(credentials_.password, u"p");
        EXPECT_EQ(credentials_.port, 2121u);
    }
    EXPECT_TRUE(driver_.Messages().empty());
}

TEST_F(FtpDialogTest, AServerThatCannotBeReachedIsToldAndLeavesItNotConnected) {
    MemoryFtpServer server;
    Open(server.Maker(), 1);
    Type(u"nowhere.invalid/a", server.Login());
    Click(window(), IDC_FTP_CONNECT);
    ASSERT_TRUE(AwaitIdle());
    ASSERT_TRUE(driver_.AwaitMessage());
    EXPECT_EQ(driver_.Messages(),
              Entries{Language(text::FtpFailConnect) + u"\nno server answers at this address"});
    EXPECT_FALSE(dialog_->IsConnected());
    EXPECT_EQ(TreeView_GetCount(tree()), 0u);

    // Not connected, so Connect tries again.
    Type(u"127.0.0.1", server.Login());
    Click(window(), IDC_FTP_CONNECT);
    ASSERT_TRUE(AwaitIdle());
    EXPECT_EQ(server.state().logins.size(), 2u);
    EXPECT_TRUE(dialog_->IsConnected());
}

TEST_F(FtpDialogTest, EachClickOnThePassiveBoxTogglesTheCallersFlag) {
    MemoryFtpServer server;
    credentials_.passive = 1;
    Open(server.Maker());
    Click(window(), IDC_FTP_PASSIVE);
    EXPECT_EQ(credentials_.passive, 0u);
    Click(window(), IDC_FTP_PASSIVE);
    EXPECT_EQ(credentials_.passive, 1u);
    Click(window(), IDC_FTP_PASSIVE);
    EXPECT_EQ(credentials_.passive, 0u);

    Type(u"127.0.0.1", server.Login());
    Click(window(), IDC_FTP_CONNECT);
    ASSERT_TRUE(AwaitIdle());
    ASSERT_EQ(server.state().logins.size(), 1u);
    EXPECT_FALSE(server.state().logins[0].passive);
}

TEST_F(FtpDialogTest, APortThatIsNoNumberFromOneTo65535IsRefusedWithoutConnecting) {
    MemoryFtpServer server;
    Open(server.Maker(), 2);
    for (const char16_t* port : {u"0", u"65536", u"", u"99999999999", u"2l"}) {
        SCOPED_TRACE(Utf16ToUtf8(port));
        Type(u"127.0.0.1", server.Login());
        SetItemText(window(), IDC_FTP_PORT, port);
        const auto shown = driver_.Messages().size();
        Click(window(), IDC_FTP_CONNECT);
        ASSERT_TRUE(AwaitIdle());
        for (int i = 0; i < 50 && driver_.Messages().size() == shown; ++i) {
            PumpMessages();
        }
        ASSERT_EQ(driver_.Messages().size(), shown + 1);
        EXPECT_EQ(driver_.Messages().back(), Language(text::FtpBadPort));
        // OK while not connected connects as Connect does: refused the same way.
        Click(window(), IDOK);
        for (int i = 0; i < 50 && driver_.Messages().size() == shown + 1; ++i) {
            PumpMessages();
        }
        EXPECT_EQ(driver_.Messages().size(), shown + 2);
        EXPECT_NE(dialog_->hwnd(), nullptr);
    }
    EXPECT_TRUE(server.state().logins.empty());
    EXPECT_EQ(credentials_.port, 21u);
}

TEST_F(FtpDialogTest, ListingsRunOffTheWindowsThreadAndCancelEndsTheDialogMeanwhile) {
    MemoryFtpServer server;
    server.MakeFolder(u"a");
    Open(server.Maker());
    Type(u"127.0.0.1", server.Login());
    server.Hold();
    Click(window(), IDC_FTP_CONNECT);
    // The login is answered at once; the listing of the top folders is held.
    for (int i = 0; i < kMaxRounds && !server.IsListingHeld(); ++i) {
        PumpMessages();
    }
    ASSERT_TRUE(server.IsListingHeld());

    // The window answers while the server is slow, and takes no second call meanwhile.
    PumpMessages();
    EXPECT_EQ(Text(window()), u"FTP SETUP");
    EXPECT_TRUE(dialog_->IsListing());
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window(), IDC_FTP_CONNECT)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window(), IDOK)));
    ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(IDC_FTP_CONNECT, BN_CLICKED), 0);
    ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(server.state().logins.size(), 1u);
    {
        std::lock_guard guard(server.state().mutex);
        ASSERT_FALSE(server.state().listingThreads.empty());
        EXPECT_NE(server.state().listingThreads[0], ::GetCurrentThreadId());
    }

    Click(window(), IDCANCEL);
    PumpMessages();
    EXPECT_EQ(dialog_->hwnd(), nullptr);
    EXPECT_TRUE(server.IsListingHeld());
    {
        std::lock_guard guard(server.state().mutex);
        EXPECT_EQ(server.state().closes, 0) << "closed under the running listing";
    }
    server.LetGo();
    // The listing ends on its own thread, which closes the connection then; what it found
    // goes nowhere.
    const auto state = [&server](auto condition) {
        for (int i = 0; i < kMaxRounds; ++i) {
            {
                std::lock_guard guard(server.state().mutex);
                if (condition(server.state())) {
                    return true;
                }
            }
            PumpMessages();
        }
        return false;
    };
    EXPECT_TRUE(state([](const MemoryFtpState& s) { return s.closes == 1; }));
    dialog_.reset();
    EXPECT_TRUE(state([](const MemoryFtpState& s) { return s.connectionsAlive == 0; }));
}

TEST_F(FtpDialogTest, ClosingTheDialogClosesItsConnection) {
    MemoryFtpServer server;
    Open(server.Maker());
    Type(u"127.0.0.1", server.Login());
    Click(window(), IDC_FTP_CONNECT);
    ASSERT_TRUE(AwaitIdle());
    ASSERT_TRUE(dialog_->IsConnected());
    EXPECT_EQ(server.state().closes, 0);
    Click(window(), IDCANCEL);
    PumpMessages();
    EXPECT_EQ(dialog_->hwnd(), nullptr);
    EXPECT_EQ(server.state().closes, 1);
}

// The same browsing against each kind of server.
class FtpBrowseTest : public FtpDialogTest, public ::testing::WithParamInterface<ServerKind> {
  protected:
    void SetUp() override {
        if (GetParam() == ServerKind::Memory) {
            auto memory = std::make_unique<MemoryFtpServer>();
            memory->MakeUnsafeFolder(u"a\\b");
            server_ = std::move(memory);
        } else {
            if (!WineFtpServer::ClientAvailable()) {
                GTEST_SKIP() << "this platform has no FTP client yet";
            }
            server_ = std::make_unique<WineFtpServer>();
        }
        for (const char16_t* folder :
             {u"b", u"a", u".hidden", u"a/one", u"a/two", u"a/two/deep", u"b/x"}) {
            server_->MakeFolder(folder);
        }
        server_->MakeFile(u"file.txt");
        server_->MakeFile(u"a/note.txt");
    }

    void Connect() {
        Open(server_->Maker());
        Type(u"ftp://127.0.0.1", server_->Login());
        Click(window(), IDC_FTP_CONNECT);
        ASSERT_TRUE(AwaitIdle());
        ASSERT_TRUE(dialog_->IsConnected())
            << Utf16ToUtf8(driver_.Messages().empty() ? u"" : driver_.Messages().front());
    }

    std::unique_ptr<TestFtpServer> server_;
};

TEST_P(FtpBrowseTest, ConnectShowsTheTopFoldersEachWithTheFoldersInside) {
    Connect();
    EXPECT_EQ(Children(tree(), TVI_ROOT), (Entries{u"a", u"b"}));
    EXPECT_EQ(Children(tree(), ChildNamed(tree(), TVI_ROOT, u"a")), (Entries{u"one", u"two"}));
    EXPECT_EQ(Children(tree(), ChildNamed(tree(), TVI_ROOT, u"b")), Entries{u"x"});
    // Connected: Connect does nothing more, so it does not list the server again.
    server_->MakeFolder(u"c");
    Click(window(), IDC_FTP_CONNECT);
    ASSERT_TRUE(AwaitIdle());
    EXPECT_EQ(Children(tree(), TVI_ROOT), (Entries{u"a", u"b"}));
    EXPECT_TRUE(driver_.Messages().empty());
}

TEST_P(FtpBrowseTest, ExpandingAFolderListsItAgainAndCollapsingKeepsItsButton) {
    Connect();
    const HTREEITEM a = ChildNamed(tree(), TVI_ROOT, u"a");
    ASSERT_NE(a, nullptr);
    // No space in the name: Wine's WinINet cuts a listed name at its first space.
    server_->MakeFolder(u"a/later");
    server_->MakeFolder(u"a/one/inside");
    ExpandByUser(a);
    ASSERT_TRUE(TreeView_GetItemState(tree(), a, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Children(tree(), a), (Entries{u"later", u"one", u"two"}));
    // Its sub-folders come with their own, so they show a button.
    EXPECT_EQ(Children(tree(), ChildNamed(tree(), a, u"one")), Entries{u"inside"});
    EXPECT_EQ(Children(tree(), ChildNamed(tree(), a, u"two")), Entries{u"deep"});

    TreeView_SelectItem(tree(), a);
    ::SendMessageW(tree(), WM_KEYDOWN, VK_SUBTRACT, 0);
    ASSERT_TRUE(AwaitIdle());
    EXPECT_FALSE(TreeView_GetItemState(tree(), a, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Children(tree(), a), Entries{u""});
    EXPECT_TRUE(driver_.Messages().empty());
}

TEST_P(FtpBrowseTest, AFolderGoneFromTheServerIsToldWhenExpandedAndTheSessionGoesOn) {
    Connect();
    const HTREEITEM b = ChildNamed(tree(), TVI_ROOT, u"b");
    ASSERT_NE(b, nullptr);
    server_->RemoveFolder(u"b");
    ExpandByUser(b);
    ASSERT_TRUE(driver_.AwaitMessage());
    const std::u16string told = Language(text::FtpFailConnect) + u"\n";
    for (const auto& message : driver_.Messages()) {
        EXPECT_TRUE(message.starts_with(told)) << Utf16ToUtf8(message);
        // The server's reason follows.
        EXPECT_GT(message.size(), told.size() + 3) << Utf16ToUtf8(message);
    }
    EXPECT_TRUE(dialog_->IsConnected());

    const HTREEITEM a = ChildNamed(tree(), TVI_ROOT, u"a");
    ASSERT_NE(a, nullptr);
    ExpandByUser(a);
    EXPECT_EQ(Children(tree(), a), (Entries{u"one", u"two"}));
}

TEST_P(FtpBrowseTest, OkGivesTheHostAndTheChosenFoldersPathAndTheSettings) {
    Connect();
    ExpandByUser(ChildNamed(tree(), TVI_ROOT, u"a"));
    const HTREEITEM two = ChildNamed(tree(), ChildNamed(tree(), TVI_ROOT, u"a"), u"two");
    ASSERT_NE(two, nullptr);
    TreeView_SelectItem(tree(), two);
    ASSERT_TRUE(AwaitIdle());
    SetItemText(window(), IDC_FTP_PORT, ToDecimalUnsigned(server_->port()));
    Click(window(), IDC_FTP_PASSIVE);
    Click(window(), IDOK);
    PumpMessages();
    EXPECT_EQ(dialog_->hwnd(), nullptr);
    EXPECT_EQ(location_, u"127.0.0.1/a/two");
    EXPECT_EQ(credentials_.user, u"u");
    EXPECT_EQ(credentials_.port, server_->port());
    EXPECT_EQ(credentials_.passive, 0u);
}

TEST_P(FtpBrowseTest, OkWithNoFolderChosenGivesTheServersRoot) {
    Connect();
    TreeView_SelectItem(tree(), nullptr);
    Click(window(), IDOK);
    PumpMessages();
    EXPECT_EQ(dialog_->hwnd(), nullptr);
    EXPECT_EQ(location_, u"127.0.0.1/");
}

TEST_P(FtpBrowseTest, OkWhileNotConnectedConnectsAndStaysOpen) {
    Open(server_->Maker());
    Type(u"127.0.0.1/a", server_->Login());
    Click(window(), IDOK);
    ASSERT_TRUE(AwaitIdle());
    EXPECT_NE(dialog_->hwnd(), nullptr);
    EXPECT_TRUE(dialog_->IsConnected());
    EXPECT_EQ(Children(tree(), TVI_ROOT), (Entries{u"a", u"b"}));
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpBrowseTest,
                         ::testing::Values(ServerKind::Memory, ServerKind::Real), KindName);

}  // namespace
}  // namespace arkivo::test

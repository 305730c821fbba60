// The FTP buttons of the main dialog and of the job editor: they open the FTP location dialog on
// their side's settings, the chosen location lands in their path field as "ftp://...", and the
// side's user, password, port and mode reach the job that is added or changed.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "common/text.h"
#include "ftp_servers.h"
#include "gui_support.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

constexpr auto kLongestWait = std::chrono::seconds(15);
constexpr wchar_t kFtpCaption[] = L"FTP SETUP";

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// What the user does in the FTP dialog, from the driver's thread: logs in with passive mode
// off, chooses the top folder and confirms. Returns what the dialog showed when it opened.
struct FtpSession {
    std::u16string folder;
    FtpCredentials login;
};

struct Opened {
    std::u16string server;
    std::u16string user;
    std::u16string port;
    bool passive = false;
    bool chosen = false;
};

Opened UseFtpDialog(HWND ftp, const FtpSession& session) {
    Opened opened;
    opened.server = ItemText(ftp, IDC_FTP_SERVER);
    opened.user = ItemText(ftp, IDC_FTP_USER);
    opened.port = ItemText(ftp, IDC_FTP_PORT);
    opened.passive = ::IsDlgButtonChecked(ftp, IDC_FTP_PASSIVE) == BST_CHECKED;
    SetItemText(ftp, IDC_FTP_SERVER, u"127.0.0.1");
    SetItemText(ftp, IDC_FTP_USER, session.login.user);
    SetItemText(ftp, IDC_FTP_PASSWORD, session.login.password);
    SetItemText(ftp, IDC_FTP_PORT, ToDecimalUnsigned(session.login.port));
    if (opened.passive) {
        Click(ftp, IDC_FTP_PASSIVE);
    }
    Click(ftp, IDC_FTP_CONNECT);
    const HWND tree = ::GetDlgItem(ftp, IDC_FTP_FOLDERS);
    HTREEITEM item = nullptr;
    if (!WaitFor([&] { return (item = ChildNamed(tree, TVI_ROOT, session.folder)) != nullptr; })) {
        Click(ftp, IDCANCEL);
        return opened;
    }
    TreeView_SelectItem(tree, item);
    WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(ftp, IDOK)) != FALSE; });
    opened.chosen = true;
    Click(ftp, IDOK);
    return opened;
}

class FtpButtonTest : public MainDialogTest, public ::testing::WithParamInterface<ServerKind> {
  protected:
    void SetUp() override {
        if (GetParam() == ServerKind::Memory) {
            server_ = std::make_unique<MemoryFtpServer>();
        } else {
            if (!WineFtpServer::ClientAvailable()) {
                GTEST_SKIP() << "this platform has no FTP client yet";
            }
            server_ = std::make_unique<WineFtpServer>();
        }
        server_->MakeFolder(u"photos");
        server_->MakeFolder(u"mail");
        std::filesystem::create_directories(folder_ / "target");
    }

    std::unique_ptr<TestFtpServer> server_;
};

TEST_P(FtpButtonTest, TheBaseFtpButtonFillsTheBaseAndTheAddedJobCarriesTheLogin) {
    Open();
    context_->ftpConnections = server_->Maker();
    Opened opened;
    driver_.OnDialog(u"FTP SETUP", [&](HWND ftp) {
        opened = UseFtpDialog(ftp, {u"photos", server_->Login()});
        return true;
    });
    Click(dialog(), IDC_BASE_FTP);
    PumpMessages();
    ASSERT_TRUE(opened.chosen) << Utf16ToUtf8(driver_.Messages().empty() ? u""
                                                                         : driver_.Messages()[0]);
    // A new side starts from the defaults.
    EXPECT_EQ(opened.port, u"21");
    EXPECT_TRUE(opened.passive);
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_PATH), u"ftp://127.0.0.1/photos");

    const std::u16string target = (folder_ / "target").u16string();
    SetItemText(dialog(), IDC_TARGET_PATH, target);
    Click(dialog(), IDC_REGISTER);
    PumpMessages();
    EXPECT_TRUE(driver_.Messages().empty())
        << Utf16ToUtf8(driver_.Messages().empty() ? u"" : driver_.Messages()[0]);
    const auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    const auto& job = table.jobs[0];
    EXPECT_EQ(job.basePath, u"ftp://127.0.0.1/photos");
    EXPECT_EQ(job.targetPath, target);
    EXPECT_EQ(job.baseFtpUser, u"u");
    EXPECT_EQ(job.baseFtpPassword, u"p");
    EXPECT_EQ(job.baseFtpPort, server_->port());
    EXPECT_EQ(job.baseFtpPassive, 0u);
}

TEST_P(FtpButtonTest, CancelInTheFtpDialogLeavesTheFieldAsItWas) {
    Open();
    context_->ftpConnections = server_->Maker();
    SetItemText(dialog(), IDC_TARGET_PATH, u"D:\\Backup");
    driver_.OnDialog(u"FTP SETUP", [](HWND ftp) {
        ::PostMessageW(ftp, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    Click(dialog(), IDC_TARGET_FTP);
    PumpMessages();
    EXPECT_EQ(ItemText(dialog(), IDC_TARGET_PATH), u"D:\\Backup");
}

// The editor opens the dialog on the job's stored FTP side, and the side chosen there is
// what the job keeps when the editor's OK changes it.
TEST_P(FtpButtonTest, TheEditorsFtpButtonStartsFromTheJobsSideAndTheChangedJobKeepsTheNewOne) {
    folder_.AddJobs(1);
    folder_.Change([](JobTable& table) {
        auto& job = table.jobs[0];
        job.targetPath = u"FTP://old.example.org/mail";
        job.targetFtpUser = u"stored";
        job.targetFtpPassword = u"kept";
        job.targetFtpPort = 2100;
        job.targetFtpPassive = 1;
    });
    Open();
    context_->ftpConnections = server_->Maker();
    Opened opened;
    std::atomic<bool> editorDone{false};
    std::atomic<bool> buttonsShown{false};
    driver_.OnDialog(u"Modification", [&](HWND editor) {
        buttonsShown = ::IsWindowVisible(::GetDlgItem(editor, IDC_MODIFY_BASE_FTP)) &&
                       ::IsWindowVisible(::GetDlgItem(editor, IDC_MODIFY_TARGET_FTP));
        ::PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDC_MODIFY_TARGET_FTP, BN_CLICKED), 0);
        HWND ftp = nullptr;
        if (WaitFor([&] { return (ftp = ::FindWindowW(L"#32770", kFtpCaption)) != nullptr; })) {
            opened = UseFtpDialog(ftp, {u"mail", server_->Login()});
        }
        WaitFor([&] { return ItemText(editor, IDC_MODIFY_TARGET).starts_with(u"ftp://127"); });
        ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
        editorDone = true;
        return true;
    });
    SelectRows(list(), {0});
    ::SendMessageW(list(), WM_COMMAND, ID_JOBLIST_MODIFY, 0);
    PumpMessages();
    ASSERT_TRUE(editorDone);
    EXPECT_TRUE(buttonsShown);
    EXPECT_EQ(opened.server, u"old.example.org/mail");
    EXPECT_EQ(opened.user, u"stored");
    EXPECT_EQ(opened.port, u"2100");
    EXPECT_TRUE(opened.passive);
    ASSERT_TRUE(opened.chosen);

    const auto table = folder_.Load();
    const auto& job = table.jobs.at(0);
    EXPECT_EQ(job.targetPath, u"ftp://127.0.0.1/mail");
    EXPECT_EQ(job.targetFtpUser, u"u");
    EXPECT_EQ(job.targetFtpPassword, u"p");
    EXPECT_EQ(job.targetFtpPort, server_->port());
    EXPECT_EQ(job.targetFtpPassive, 0u);
    EXPECT_TRUE(driver_.Messages().empty())
        << Utf16ToUtf8(driver_.Messages().empty() ? u"" : driver_.Messages()[0]);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpButtonTest,
                         ::testing::Values(ServerKind::Memory, ServerKind::Real), KindName);

}  // namespace
}  // namespace arkivo::test

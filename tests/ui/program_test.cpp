// The program as a whole, started as a separate process: one copy only, its folder in the
// registry, an environment file made for a new user, and Exit from the tray menu.
#include <windows.h>
// The Windows headers below build on this one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gui_support.h"
#include "platform/registry.h"
#include "ui/main/program_paths.h"
#include "ui/options/startup_registration.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

namespace fs = std::filesystem;

class Process {
  public:
    Process(const fs::path& exe, const fs::path& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring command = L"\"" + exe.wstring() + L"\"";
        started_ = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, folder.c_str(), &startup, &info_) != FALSE;
    }
    ~Process() {
        if (started_) {
            if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(info_.hProcess, 1);
            }
            ::CloseHandle(info_.hThread);
            ::CloseHandle(info_.hProcess);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }
    bool WaitForExit(DWORD ms) const {
        return ::WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

struct Found {
    DWORD process;
    int controlId;
    HWND window = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    auto& found = *reinterpret_cast<Found*>(context);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == found.process && ::GetDlgItem(window, found.controlId) != nullptr) {
        found.window = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(DWORD process, int controlId) {
    for (int i = 0; i < 300; ++i) {
        Found found{process, controlId};
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr) {
            return found.window;
        }
        ::Sleep(50);
    }
    return nullptr;
}

TEST(Program, RunsOnceRecordsItsFolderAndEndsOnExit) {
    TempFolder folder;
    const auto exe = folder / "Arkivo.exe";
    fs::copy_file(ARKIVO_PROGRAM_PATH, exe);
    for (auto name : {"english.ini", "japanese.ini", "korean.ini"}) {
        fs::copy_file(fs::path(ARKIVO_LANGUAGE_DIR) / name, folder / name);
    }

    Process first(exe, folder.path());
    ASSERT_TRUE(first.started());
    const HWND main = WaitForDialog(first.id(), IDC_JOB_LIST);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(::IsWindowVisible(main)) << "without ShowWindow.ini it starts in the tray";
    EXPECT_TRUE(fs::exists(folder / "LastSetting.env"));
    const auto recorded = platform::ReadUserString(ui::kProgramKey, ui::kProgramValue);
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(*recorded, folder.path().u16string() + u"\\");

    Process second(exe, folder.path());
    ASSERT_TRUE(second.started());
    const HWND refusal = WaitForDialog(second.id(), 0xFFFF);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(ItemText(refusal, 0xFFFF), u"Already Excuting, See Tray Icon");
    ::PostMessageW(refusal, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(10000));
    EXPECT_FALSE(first.WaitForExit(0));

    ::PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(first.WaitForExit(10000));
}

TEST(ProgramFolder, IsTheExecutablesFolderWithItsBackslash) {
    EXPECT_EQ(ui::ProgramFolderOf(u"C:\\Program Files\\Arkivo\\Arkivo.exe"),
              u"C:\\Program Files\\Arkivo\\");
    const std::u16string deep = u"C:\\" + std::u16string(250, u'a') + u"\\b\\Arkivo.exe";
    const auto cut = ui::ProgramFolderOf(deep);
    EXPECT_EQ(cut, u"C:\\" + std::u16string(250, u'a') + u"\\");
    EXPECT_EQ(ui::ProgramFolderOf(u"Arkivo.exe"), u"");
}

TEST(StartupRegistration, WritesAndRemovesTheRunValue) {
    const fs::path exe = u"C:\\Programs\\Arkivo\\Arkivo.exe";
    EXPECT_FALSE(ui::RegisterStartup(true, exe).has_value());
    EXPECT_EQ(platform::ReadUserString(ui::kRunKey, ui::kRunValue), exe.u16string());

    EXPECT_FALSE(ui::RegisterStartup(false, exe).has_value());
    EXPECT_FALSE(platform::ReadUserString(ui::kRunKey, ui::kRunValue).has_value());
    EXPECT_FALSE(ui::RegisterStartup(false, exe).has_value()) << "a missing value is no error";
}

}  // namespace
}  // namespace arkivo::test

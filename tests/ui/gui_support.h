// Driving the real dialogs in-process: a program folder with the language files, the main
// dialog created modeless, and a helper thread that answers the modal windows it opens.
#pragma once

#include <windows.h>
// GoogleTest after the Windows declarations it may use.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "jobs/environment_file.h"
#include "settings/app_stores.h"
#include "support/temp_folder.h"
#include "ui/app_context.h"
#include "ui/tessaly_dlg.h"

namespace arkivo::test {

// Lets the dialogs handle what is queued for them.
void PumpMessages();

std::u16string Text(HWND window);
std::u16string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::u16string_view text);
void Click(HWND dialog, int id);

// What the shell hands a window when files are dropped on it at (x, y), client coordinates.
HDROP DropOf(const std::vector<std::filesystem::path>& paths, int x, int y = 30);
bool MakeShortcut(const std::filesystem::path& link, const std::filesystem::path& target);

// A popup menu as it was shown: its items as "text=command" and its place on the screen.
struct ShownMenu {
    std::vector<std::u16string> items;
    RECT rect{};
};

// Answers every modal window of this process that the tests open: message boxes are
// recorded and confirmed, other dialogs go to the handler registered for their caption, and
// popup menus are recorded and then closed or answered with the chosen command.
class ModalDriver {
  public:
    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // The handler answers true when the window was the one it waited for.
    void OnDialog(std::u16string caption, std::function<bool(HWND)> handler);
    std::vector<std::u16string> Messages();
    std::vector<std::u16string> MessageTitles();
    // Picks the item with this command in the menus that open from now on; 0 closes them.
    void ChooseFromMenus(UINT command);
    std::vector<ShownMenu> Menus();

  private:
    void Watch();
    void AnswerMenu(HWND window);

    std::mutex mutex_;
    std::vector<std::pair<std::u16string, std::function<bool(HWND)>>> handlers_;
    std::vector<std::u16string> messages_;
    std::vector<std::u16string> titles_;
    std::vector<ShownMenu> menus_;
    UINT menuChoice_ = 0;
    std::vector<HWND> answered_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class ProgramFolder {
  public:
    ProgramFolder();
    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return folder_ / name;
    }
    std::filesystem::path Environment() const { return folder_ / "LastSetting.env"; }
    void AddJobs(std::size_t count);
    JobTable Load() const;
    // The text as the English language file beside the program holds it.
    std::u16string English(const TextKey& key) const;

  private:
    TempFolder folder_;
};

// The main dialog over a fresh program folder, with the environment file's jobs in its list.
class MainDialogTest : public ::testing::Test {
  protected:
    void Open(std::unique_ptr<ui::RunControl> run = nullptr);
    void TearDown() override;

    HWND dialog() const { return dialog_->hwnd(); }
    HWND list() const { return dialog_->jobList().hwnd(); }
    int Rows() const;
    std::u16string Cell(int row, int column) const;
    void SelectRows(const std::vector<int>& rows);
    // Confirms the completion dialog as soon as it opens, keeping the text it showed.
    void AnswerCompletionDialog();
    // Lets the dialogs work until the completion dialog was answered or the rounds run out.
    bool AwaitCompletion(int rounds);

    ProgramFolder folder_;
    AppStores stores_;
    std::unique_ptr<ui::AppContext> context_;
    std::unique_ptr<ui::CTessalyDlg> dialog_;
    // Before the driver, whose thread writes them until it ends.
    std::atomic<bool> completionShown_{false};
    std::u16string completionText_;
    ModalDriver driver_;
};

}  // namespace arkivo::test

// Driving the real dialogs in-process: a program folder with the language files, the main
// dialog or the job editor created modeless, and a helper thread that answers the modal
// windows they open.
#pragma once

#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>
// GoogleTest after the Windows declarations it may use.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "jobs/environment_file.h"
#include "settings/app_stores.h"
#include "support/temp_folder.h"
#include "ui/jobs/modify_list.h"
#include "ui/main/app_context.h"
#include "ui/main/tessaly_dlg.h"

namespace arkivo::test {

using Entries = std::vector<std::u16string>;

// Lets the dialogs handle what is queued for them.
void PumpMessages();

std::u16string Text(HWND window);
std::u16string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::u16string_view text);
void Click(HWND dialog, int id);
// The text of an item of a tree view.
std::u16string TreeText(HWND tree, HTREEITEM item);
// The child of item (TVI_ROOT: the top items) with this text; null if none.
HTREEITEM ChildNamed(HWND tree, HTREEITEM item, std::u16string_view name);
// The control with this identifier anywhere below the window, pages included; null if none.
HWND FindControl(HWND root, int id);
// The texts of one column of a list view, top row first.
Entries Column(HWND list, int column);
// Selects exactly these rows of a list view.
void SelectRows(HWND list, const std::vector<int>& rows);
// A menu's items as "text=command".
Entries MenuItems(HMENU menu);

// What the shell hands a window when files are dropped on it at (x, y), client coordinates.
HDROP DropOf(const std::vector<std::filesystem::path>& paths, int x, int y = 30);
bool MakeShortcut(const std::filesystem::path& link, const std::filesystem::path& target);

// A popup menu as it was shown: its items and its place on the screen.
struct ShownMenu {
    Entries items;
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
    Entries Messages();
    Entries MessageTitles();
    // Lets the dialogs work until a message box was answered or the rounds run out.
    bool AwaitMessage(int rounds = 50);
    // Picks the item with this command in the menus that open from now on; 0 closes them.
    void ChooseFromMenus(UINT command);
    std::vector<ShownMenu> Menus();

  private:
    void Watch();
    void AnswerMenu(HWND window);

    std::mutex mutex_;
    std::vector<std::pair<std::u16string, std::function<bool(HWND)>>> handlers_;
    Entries messages_;
    Entries titles_;
    std::vector<ShownMenu> menus_;
    UINT menuChoice_ = 0;
    std::vector<HWND> answered_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Calls the step on this thread every few milliseconds, from whatever message loop runs,
// the loop of a modal dialog included, until the step answers true or the object ends. What
// the step reads of the dialog objects is then read on their own thread.
class ModalLoopSteps {
  public:
    explicit ModalLoopSteps(std::function<bool()> step);
    ~ModalLoopSteps();
    ModalLoopSteps(const ModalLoopSteps&) = delete;
    ModalLoopSteps& operator=(const ModalLoopSteps&) = delete;

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    void Stop();

    std::function<bool()> step_;
    UINT_PTR timer_ = 0;
};

// Records the commands; the test plays the worker itself.
class RecordingRun : public ui::RunControl {
  public:
    bool Start(AppStores&, engine::RunObserver& observer) override {
        ++starts;
        this->observer = &observer;
        running = true;
        return true;
    }
    void Pause() override { paused = true; }
    void Resume() override {
        paused = false;
        ++resumes;
    }
    void Stop() override { running = paused = false; }
    bool IsRunning() const override { return running; }
    bool IsPaused() const override { return paused; }

    int starts = 0;
    int resumes = 0;
    bool running = false;
    bool paused = false;
    engine::RunObserver* observer = nullptr;
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
    void Change(const std::function<void(JobTable&)>& change);
    // Writes a settings file, lines separated by line breaks.
    void Write(std::string_view name, std::string_view text) const;
    // A section of a settings file as the file holds it now, as "key=value" in file order.
    Entries Stored(std::string_view name, std::u16string_view section) const;
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
    std::u16string Cell(int row, int column) const { return Column(list(), column).at(row); }
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

// The job editor over a fresh program folder with two jobs, for driving its pattern lists.
class JobEditorTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_.AddJobs(2); }
    void TearDown() override;

    // Opens the editor of the job (0-based) with the interface in the language.
    void Open(std::size_t job = 0, int language = 0);

    // Patterns 1..count as "pattern1", "pattern2", ... in the job's section of the file.
    void WritePatterns(std::string_view name, int job, int count);
    unsigned FilterOn(std::size_t job) const { return folder_.Load().jobs.at(job).filterOn; }

    HWND editor() const { return dialog_->hwnd(); }
    HWND exclude() const { return dialog_->excludeList().hwnd(); }
    HWND include() const { return dialog_->includeList().hwnd(); }
    // The centre of a row, at the given x (list client coordinates).
    POINT RowPoint(HWND list, int row, int x) const;
    void ClickAt(HWND list, POINT at);
    void Command(HWND list, int command);

    ProgramFolder folder_;
    AppStores stores_;
    std::unique_ptr<ui::AppContext> context_;
    ui::OptionBlock options_;
    std::u16string base_ = u"C:\\base1";
    std::u16string target_ = u"D:\\target1";
    std::unique_ptr<ui::ModifyList> dialog_;
    ModalDriver driver_;
};

}  // namespace arkivo::test

#include "gui_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "common/text.h"
#include "jobs/job_record.h"
#include "settings/lang_ini.h"
#include "support/job_folder.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

constexpr int kMessageBoxText = 0xFFFF;

constexpr wchar_t kDialogClass[] = L"#32770";

constexpr UINT kStepMilliseconds = 20;
// A thread timer's procedure has no context of its own: the steps of this thread.
thread_local ModalLoopSteps* stepsOfThisThread = nullptr;
constexpr wchar_t kMenuClass[] = L"#32768";

struct Search {
    DWORD process;
    std::vector<HWND> dialogs;
    std::vector<HWND> menus;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (process != search.process || !::IsWindowVisible(window)) {
        return TRUE;
    }
    if (std::wstring(className) == kDialogClass) {
        search.dialogs.push_back(window);
    } else if (std::wstring(className) == kMenuClass) {
        search.menus.push_back(window);
    }
    return TRUE;
}

void PostKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 0);
    ::PostMessageW(window, WM_KEYUP, key, 0);
}

}  // namespace

void PumpMessages() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    }
}

std::u16string TreeText(HWND tree, HTREEITEM item) {
    wchar_t text[512] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 512;
    TreeView_GetItem(tree, &data);
    return std::u16string(text, text + ::wcslen(text));
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM item, std::u16string_view name) {
    HTREEITEM child = item == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item);
    while (child != nullptr && TreeText(tree, child) != name) {
        child = TreeView_GetNextSibling(tree, child);
    }
    return child;
}

std::u16string Text(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR ignored = 0;
    // With a time limit: the window's thread may be busy with the test itself.
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 500, &ignored);
    return std::u16string(buffer, buffer + ::wcslen(buffer));
}

std::u16string ItemText(HWND dialog, int id) {
    return Text(::GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Click(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND FindControl(HWND root, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(data);
            if (::GetDlgCtrlID(child) != wanted.id) {
                return TRUE;
            }
            wanted.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Entries Column(HWND list, int column) {
    Entries texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        wchar_t buffer[512] = {};
        ListView_GetItemText(list, row, column, buffer, 512);
        texts.emplace_back(buffer, buffer + ::wcslen(buffer));
    }
    return texts;
}

void SelectRows(HWND list, const std::vector<int>& rows) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetSelectionMark(list, row);
    }
}

Entries MenuItems(HMENU menu) {
    Entries items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back(std::u16string(text, text + ::wcslen(text)) + u"=" +
                        ToDecimalUnsigned(::GetMenuItemID(menu, i)));
    }
    return items;
}

HDROP DropOf(const std::vector<std::filesystem::path>& paths, int x, int y) {
    std::wstring list;
    for (const auto& path : paths) {
        list += path.wstring();
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {x, y};
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool MakeShortcut(const std::filesystem::path& link, const std::filesystem::path& target) {
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return false;
    }
    shellLink->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(link.c_str(), TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

ModalLoopSteps::ModalLoopSteps(std::function<bool()> step) : step_(std::move(step)) {
    stepsOfThisThread = this;
    timer_ = ::SetTimer(nullptr, 0, kStepMilliseconds, OnTimer);
}

ModalLoopSteps::~ModalLoopSteps() {
    Stop();
    stepsOfThisThread = nullptr;
}

void ModalLoopSteps::Stop() {
    if (timer_ != 0) {
        ::KillTimer(nullptr, timer_);
        timer_ = 0;
    }
}

void CALLBACK ModalLoopSteps::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    ModalLoopSteps* steps = stepsOfThisThread;
    if (steps == nullptr || steps->timer_ != timer) {
        return;
    }
    // Stopped first: a step that closes a dialog runs the loops that would call it again.
    steps->Stop();
    if (!steps->step_()) {
        steps->timer_ = ::SetTimer(nullptr, 0, kStepMilliseconds, OnTimer);
    }
}

ModalDriver::ModalDriver() : thread_([this] { Watch(); }) {}

ModalDriver::~ModalDriver() {
    done_ = true;
    thread_.join();
}

void ModalDriver::OnDialog(std::u16string caption, std::function<bool(HWND)> handler) {
    std::lock_guard guard(mutex_);
    handlers_.emplace_back(std::move(caption), std::move(handler));
}

Entries ModalDriver::Messages() {
    std::lock_guard guard(mutex_);
    return messages_;
}

Entries ModalDriver::MessageTitles() {
    std::lock_guard guard(mutex_);
    return titles_;
}

bool ModalDriver::AwaitMessage(int rounds) {
    for (int i = 0; i < rounds && Messages().empty(); ++i) {
        PumpMessages();
    }
    return !Messages().empty();
}

void ModalDriver::ChooseFromMenus(UINT command) {
    std::lock_guard guard(mutex_);
    menuChoice_ = command;
}

std::vector<ShownMenu> ModalDriver::Menus() {
    std::lock_guard guard(mutex_);
    return menus_;
}

// The menu's own loop reads the keys: Down moves from item to item, Enter chooses one.
void ModalDriver::AnswerMenu(HWND window) {
    DWORD_PTR handle = 0;
    if (::SendMessageTimeoutW(window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 500, &handle) == 0 ||
        handle == 0) {
        return;
    }
    const HMENU menu = reinterpret_cast<HMENU>(handle);
    ShownMenu shown{MenuItems(menu), {}};
    ::GetWindowRect(window, &shown.rect);
    int chosen = -1;
    std::lock_guard guard(mutex_);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        if (menuChoice_ != 0 && ::GetMenuItemID(menu, i) == menuChoice_) {
            chosen = i;
        }
    }
    menus_.push_back(shown);
    answered_.push_back(window);
    if (chosen < 0) {
        PostKey(window, VK_ESCAPE);
        return;
    }
    for (int i = 0; i <= chosen; ++i) {
        PostKey(window, VK_DOWN);
    }
    PostKey(window, VK_RETURN);
}

void ModalDriver::Watch() {
    while (!done_) {
        Search search{::GetCurrentProcessId(), {}, {}};
        ::EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.menus) {
            bool seen = false;
            {
                std::lock_guard guard(mutex_);
                seen = std::find(answered_.begin(), answered_.end(), window) != answered_.end();
            }
            if (!seen) {
                AnswerMenu(window);
            }
        }
        for (HWND window : search.dialogs) {
            std::function<bool(HWND)> handler;
            {
                std::lock_guard guard(mutex_);
                if (std::find(answered_.begin(), answered_.end(), window) != answered_.end()) {
                    continue;
                }
                if (HWND text = ::GetDlgItem(window, kMessageBoxText)) {
                    messages_.push_back(Text(text));
                    titles_.push_back(Text(window));
                    answered_.push_back(window);
                    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
                    continue;
                }
                const auto caption = Text(window);
                for (auto& [name, action] : handlers_) {
                    if (name == caption) {
                        handler = action;
                    }
                }
            }
            if (handler && handler(window)) {
                std::lock_guard guard(mutex_);
                answered_.push_back(window);
            }
        }
        {
            // A closed window's handle may come back for a later one.
            std::lock_guard guard(mutex_);
            std::erase_if(answered_, [](HWND window) { return !::IsWindow(window); });
        }
        ::Sleep(20);
    }
}

ProgramFolder::ProgramFolder() {
    for (auto name : kLanguageFiles) {
        std::filesystem::copy_file(std::filesystem::path(ARKIVO_LANGUAGE_DIR) / name,
                                   folder_ / name);
    }
    EXPECT_TRUE(EnsureEnvironmentFile(Environment()));
}

void ProgramFolder::AddJobs(std::size_t count) {
    AddNumberedJobs(Environment(), count);
}

JobTable ProgramFolder::Load() const {
    EnvironmentFile file(Environment());
    return file.Load();
}

void ProgramFolder::Change(const std::function<void(JobTable&)>& change) {
    EnvironmentFile file(Environment());
    JobTable& table = file.Load();
    change(table);
    ASSERT_EQ(file.Save(table), LoadStatus::Ok);
}

void ProgramFolder::Write(std::string_view name, std::string_view text) const {
    std::ofstream(folder_ / name, std::ios::binary) << text;
}

Entries ProgramFolder::Stored(std::string_view name, std::u16string_view section) const {
    CLangIni file;
    file.Open(folder_ / name);
    Entries entries;
    for (const auto& [key, value] : file.SectionEntries(section)) {
        entries.push_back(key + u"=" + value);
    }
    return entries;
}

std::u16string ProgramFolder::English(const TextKey& key) const {
    CLangIni english;
    english.Open(folder_ / "english.ini");
    return english.GetValue(key);
}

void MainDialogTest::Open(std::unique_ptr<ui::RunControl> run) {
    stores_.LoadAll(folder_.path());
    context_ =
        std::make_unique<ui::AppContext>(ui::AppContext{stores_, folder_ / "Arkivo.exe", true});
    dialog_ = std::make_unique<ui::CTessalyDlg>(*context_, std::move(run));
    ASSERT_TRUE(dialog_->Create(nullptr));
    PumpMessages();
}

void MainDialogTest::TearDown() {
    dialog_.reset();
    PumpMessages();
}

int MainDialogTest::Rows() const {
    return static_cast<int>(ListView_GetItemCount(list()));
}

void MainDialogTest::AnswerCompletionDialog() {
    driver_.OnDialog(u"Arkivo", [this](HWND window) {
        if (::GetDlgItem(window, IDC_COMPLETE_TEXT) == nullptr) {
            return false;
        }
        completionText_ = ItemText(window, IDC_COMPLETE_TEXT);
        completionShown_ = true;
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        return true;
    });
}

bool MainDialogTest::AwaitCompletion(int rounds) {
    for (int i = 0; i < rounds && !completionShown_; ++i) {
        PumpMessages();
    }
    return completionShown_;
}

void JobEditorTest::TearDown() {
    dialog_.reset();
    PumpMessages();
}

void JobEditorTest::Open(std::size_t job, int language) {
    stores_.LoadAll(folder_.path());
    // As the main window does before it opens the editor.
    stores_.ApplyLanguage(language);
    context_ =
        std::make_unique<ui::AppContext>(ui::AppContext{stores_, folder_ / "Arkivo.exe", true});
    options_.m_selLang = language;
    dialog_ = std::make_unique<ui::ModifyList>(*context_, options_, job, base_, target_);
    ASSERT_TRUE(dialog_->Create(nullptr));
    ::ShowWindow(editor(), SW_SHOW);
    PumpMessages();
}

void JobEditorTest::WritePatterns(std::string_view name, int job, int count) {
    std::string text = "[" + std::to_string(job) + "]\n";
    for (int k = 1; k <= count; ++k) {
        text += std::to_string(k) + "=pattern" + std::to_string(k) + "\n";
    }
    folder_.Write(name, text);
}

POINT JobEditorTest::RowPoint(HWND list, int row, int x) const {
    RECT bounds{};
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    return {x, (bounds.top + bounds.bottom) / 2};
}

void JobEditorTest::ClickAt(HWND list, POINT at) {
    const LPARAM position = MAKELPARAM(at.x, at.y);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, position);
    ::SendMessageW(list, WM_LBUTTONUP, 0, position);
    PumpMessages();
}

void JobEditorTest::Command(HWND list, int command) {
    ::SendMessageW(list, WM_COMMAND, command, 0);
    PumpMessages();
}

}  // namespace arkivo::test

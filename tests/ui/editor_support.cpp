#include "editor_support.h"

#include <commctrl.h>

#include <fstream>

#include "common/text.h"
#include "settings/lang_ini.h"

namespace arkivo::test {

void JobEditorTest::SetUp() {
    folder_.AddJobs(2);
}

void JobEditorTest::TearDown() {
    dialog_.reset();
    PumpMessages();
}

void JobEditorTest::Open(std::size_t job, int language) {
    stores_.LoadAll(folder_.path());
    context_ =
        std::make_unique<ui::AppContext>(ui::AppContext{stores_, folder_ / "Arkivo.exe", true});
    options_.m_selLang = language;
    dialog_ = std::make_unique<ui::ModifyList>(*context_, options_, job, base_, target_);
    ASSERT_TRUE(dialog_->Create(nullptr));
    ::ShowWindow(editor(), SW_SHOW);
    PumpMessages();
}

void JobEditorTest::WriteFile(std::string_view name, std::string_view text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
}

void JobEditorTest::WritePatterns(std::string_view name, int job, int count) {
    std::string text = "[" + std::to_string(job) + "]\n";
    for (int k = 1; k <= count; ++k) {
        text += std::to_string(k) + "=pattern" + std::to_string(k) + "\n";
    }
    WriteFile(name, text);
}

std::vector<std::u16string> JobEditorTest::Stored(std::string_view name,
                                                  std::u16string_view section) {
    CLangIni file;
    file.Open(folder_ / name);
    std::vector<std::u16string> entries;
    for (const auto& [key, value] : file.SectionEntries(section)) {
        entries.push_back(key + u"=" + value);
    }
    return entries;
}

unsigned JobEditorTest::FilterOn(std::size_t job) const {
    return folder_.Load().jobs.at(job).filterOn;
}

std::vector<std::u16string> JobEditorTest::Column(HWND list, int column) const {
    std::vector<std::u16string> texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        wchar_t buffer[512] = {};
        ListView_GetItemText(list, row, column, buffer, 512);
        texts.emplace_back(buffer, buffer + ::wcslen(buffer));
    }
    return texts;
}

void JobEditorTest::Select(HWND list, const std::vector<int>& rows) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
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

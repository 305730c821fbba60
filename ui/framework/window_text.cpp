#include "ui/framework/window_text.h"

#include "settings/lang_ini.h"
#include "settings/user_message.h"

namespace arkivo::ui {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return std::u16string(text.begin(), text.end());
}

std::u16string ItemText(HWND dialog, int id) {
    return WindowText(::GetDlgItem(dialog, id));
}

void SetWindowTextOf(HWND window, std::u16string_view text) {
    ::SetWindowTextW(window, Wide(text).c_str());
}

void SetItemText(HWND dialog, int id, std::u16string_view text) {
    ::SetDlgItemTextW(dialog, id, Wide(text).c_str());
}

void SetItemText(HWND dialog, int id, CLangIni& language, const TextKey& key) {
    SetItemText(dialog, id, language.GetValue(key));
}

void ShowMessage(HWND owner, std::u16string_view text) {
    ::MessageBoxW(owner, Wide(text).c_str(), Wide(kAppTitle).c_str(), MB_OK);
}

void ShowMessage(HWND owner, CLangIni& language, const UserMessage& message) {
    ShowMessage(owner, Resolve(language, message));
}

}  // namespace arkivo::ui

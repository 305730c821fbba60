// Texts of windows and controls as the core's UTF-16 strings, and the program's message box.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace arkivo {
class CLangIni;
struct TextKey;
struct UserMessage;
}  // namespace arkivo

namespace arkivo::ui {

inline constexpr std::u16string_view kAppTitle = u"Arkivo";

std::wstring Wide(std::u16string_view text);
std::u16string WindowText(HWND window);
std::u16string ItemText(HWND dialog, int id);
void SetWindowTextOf(HWND window, std::u16string_view text);
void SetItemText(HWND dialog, int id, std::u16string_view text);
void SetItemText(HWND dialog, int id, CLangIni& language, const TextKey& key);

// A message box with an OK button and the program's title.
void ShowMessage(HWND owner, std::u16string_view text);
void ShowMessage(HWND owner, CLangIni& language, const UserMessage& message);

}  // namespace arkivo::ui

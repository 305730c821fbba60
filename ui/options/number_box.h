// An edit box that holds a number the page keeps in step with what is typed: the text is put
// back as the number it reads as ("abc" becomes "0"), without the change notification that
// this causes being taken for typing.
#pragma once

#include <windows.h>

#include <string_view>

namespace arkivo::ui {

// Marks the page's own text changes for the time it lives.
class SettingText {
  public:
    explicit SettingText(bool& flag) : flag_(flag) { flag_ = true; }
    ~SettingText() { flag_ = false; }
    SettingText(const SettingText&) = delete;
    SettingText& operator=(const SettingText&) = delete;

  private:
    bool& flag_;
};

// Puts the number into the box when its text differs, with the caret after it.
void ShowNumber(HWND page, int box, std::u16string_view number, bool& settingText);

}  // namespace arkivo::ui

// One tooltip window that shows a text over each of a dialog's image buttons.
#pragma once

#include <windows.h>

#include <set>
#include <string_view>

namespace arkivo::ui {

class CToolTips {
  public:
    CToolTips() = default;
    ~CToolTips();
    CToolTips(const CToolTips&) = delete;
    CToolTips& operator=(const CToolTips&) = delete;

    void Create(HWND owner);
    // Adds the control on first use, then replaces its text.
    void SetText(HWND control, std::u16string_view text);
    std::u16string Text(HWND control) const;

  private:
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    std::set<HWND> tools_;
};

}  // namespace arkivo::ui

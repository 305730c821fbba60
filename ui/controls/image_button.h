// A push button that shows one of the program's icons instead of a caption.
#pragma once

#include <windows.h>

namespace arkivo::ui {

class CImageButton {
  public:
    CImageButton() = default;
    ~CImageButton();
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;

    void Attach(HWND button, int iconId, int size);
    HWND hwnd() const { return button_; }

  private:
    HWND button_ = nullptr;
    HICON icon_ = nullptr;
};

}  // namespace arkivo::ui

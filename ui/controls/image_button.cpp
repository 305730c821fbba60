#include "ui/controls/image_button.h"

namespace arkivo::ui {

CImageButton::~CImageButton() {
    if (icon_ != nullptr) {
        ::DestroyIcon(icon_);
    }
}

void CImageButton::Attach(HWND button, int iconId, int size) {
    button_ = button;
    icon_ = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ::SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_));
}

}  // namespace arkivo::ui

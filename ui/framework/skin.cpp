#include "ui/framework/skin.h"

#include "settings/lang_ini.h"

namespace arkivo::ui {
namespace {

class SolidBrush {
  public:
    explicit SolidBrush(COLORREF colour) : brush_(::CreateSolidBrush(colour)) {}
    ~SolidBrush() { ::DeleteObject(brush_); }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;
    HBRUSH get() const { return brush_; }

  private:
    HBRUSH brush_;
};

}  // namespace

std::u16string GroupCaption(std::u16string_view text) {
    return u" " + std::u16string(text) + u" ";
}

HBRUSH SkinBrush() {
    static const SolidBrush brush(kSkinBackground);
    return brush.get();
}

LRESULT SkinControlColour(HDC dc) {
    ::SetBkColor(dc, kSkinBackground);
    return reinterpret_cast<LRESULT>(SkinBrush());
}

CBackgroundBitmap::~CBackgroundBitmap() {
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
    }
}

bool CBackgroundBitmap::Load(int bitmapId, Fit fit) {
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
    }
    fit_ = fit;
    bitmap_ =
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return bitmap_ != nullptr;
}

SIZE CBackgroundBitmap::Size() const {
    BITMAP info{};
    if (bitmap_ == nullptr || ::GetObjectW(bitmap_, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

void CBackgroundBitmap::Paint(HWND window, HDC dc) const {
    RECT client;
    ::GetClientRect(window, &client);
    const SIZE size = Size();
    if (size.cx == 0 || fit_ == Fit::Corner) {
        ::FillRect(dc, &client, SkinBrush());
    }
    if (size.cx == 0) {
        return;
    }
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, bitmap_);
    if (fit_ == Fit::Stretch) {
        ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, size.cx, size.cy,
                     SRCCOPY);
    } else {
        ::BitBlt(dc, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
    }
    ::SelectObject(source, old);
    ::DeleteDC(source);
}

void CImageButtonBar::Attach(HWND dialog, std::span<const ImageButtonSpec> buttons) {
    dialog_ = dialog;
    specs_.assign(buttons.begin(), buttons.end());
    tips_.Create(dialog);
    buttons_.clear();
    for (const auto& button : specs_) {
        buttons_.push_back(std::make_unique<CImageButton>());
        buttons_.back()->Attach(::GetDlgItem(dialog, button.id), button.icon, button.size);
    }
}

void CImageButtonBar::SetTips(CLangIni& language) {
    for (const auto& button : specs_) {
        tips_.SetText(::GetDlgItem(dialog_, button.id), language.GetValue(button.tip));
    }
}

}  // namespace arkivo::ui

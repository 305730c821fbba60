#include "ui/controls/animation_picture.h"

#include <commctrl.h>

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMilliseconds = 90;
// The colour the frames are drawn on, so the control blends with its window.
constexpr COLORREF kBackground = RGB(243, 246, 250);

}  // namespace

CAnimationPicture::~CAnimationPicture() {
    if (control_ != nullptr && ::IsWindow(control_)) {
        ::KillTimer(control_, kFrameTimer);
        ::RemoveWindowSubclass(control_, Proc, kSubclassId);
    }
    Release();
}

void CAnimationPicture::Attach(HWND control) {
    control_ = control;
    ::SetWindowSubclass(control_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CAnimationPicture::Play(int bitmapId) {
    if (bitmapId == bitmapId_) {
        return;
    }
    Release();
    strip_ =
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (strip_ == nullptr || ::GetObjectW(strip_, sizeof(info), &info) == 0 || info.bmHeight <= 0) {
        Release();
        return;
    }
    bitmapId_ = bitmapId;
    frameSize_ = info.bmHeight;
    frames_ = info.bmWidth / info.bmHeight;
    frame_ = 0;
    ::SetTimer(control_, kFrameTimer, kFrameMilliseconds, nullptr);
    ::InvalidateRect(control_, nullptr, TRUE);
}

void CAnimationPicture::Clear() {
    if (control_ != nullptr) {
        ::KillTimer(control_, kFrameTimer);
        ::InvalidateRect(control_, nullptr, TRUE);
    }
    Release();
}

void CAnimationPicture::Release() {
    if (strip_ != nullptr) {
        ::DeleteObject(strip_);
    }
    strip_ = nullptr;
    bitmapId_ = 0;
    frames_ = 0;
    frame_ = 0;
}

void CAnimationPicture::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(control_, &paint);
    RECT client;
    ::GetClientRect(control_, &client);
    HBRUSH background = ::CreateSolidBrush(kBackground);
    ::FillRect(dc, &client, background);
    ::DeleteObject(background);
    if (strip_ != nullptr) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, strip_);
        const int x = (client.right - frameSize_) / 2;
        const int y = (client.bottom - frameSize_) / 2;
        ::BitBlt(dc, x, y, frameSize_, frameSize_, source, frame_ * frameSize_, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    }
    ::EndPaint(control_, &paint);
}

LRESULT CALLBACK CAnimationPicture::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    auto* picture = reinterpret_cast<CAnimationPicture*>(self);
    switch (message) {
        case WM_PAINT:
            picture->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (wParam == kFrameTimer && picture->frames_ > 0) {
                picture->frame_ = (picture->frame_ + 1) % picture->frames_;
                ::InvalidateRect(window, nullptr, FALSE);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::KillTimer(window, kFrameTimer);
            ::RemoveWindowSubclass(window, Proc, kSubclassId);
            picture->control_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace arkivo::ui

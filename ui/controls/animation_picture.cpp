#include "ui/controls/animation_picture.h"

#include "ui/framework/skin.h"

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kFrameTimer = 1;

}  // namespace

CAnimationPicture::CAnimationPicture() {
    map().OnMessage(WM_PAINT, [this](WPARAM, LPARAM) -> MessageResult {
        Paint();
        return 0;
    });
    map().OnMessage(WM_ERASEBKGND, [](WPARAM, LPARAM) -> MessageResult { return 1; });
    map().OnMessage(WM_TIMER, [this](WPARAM timer, LPARAM) -> MessageResult {
        if (timer != kFrameTimer) {
            return std::nullopt;
        }
        NextFrame();
        return 0;
    });
}

CAnimationPicture::~CAnimationPicture() {
    if (hwnd() != nullptr) {
        ::KillTimer(hwnd(), kFrameTimer);
    }
    Detach();
    Release();
}

void CAnimationPicture::Play(int bitmapId, UINT frameMilliseconds) {
    if (bitmapId == bitmapId_ && !paused_ && frameMilliseconds == frameMilliseconds_) {
        return;
    }
    if (bitmapId != bitmapId_) {
        Release();
        strip_ = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0,
                                                   LR_CREATEDIBSECTION));
        BITMAP info{};
        if (strip_ == nullptr || ::GetObjectW(strip_, sizeof(info), &info) == 0 ||
            info.bmHeight <= 0) {
            Release();
            return;
        }
        bitmapId_ = bitmapId;
        frameSize_ = info.bmHeight;
        frames_ = info.bmWidth / info.bmHeight;
        frame_ = 0;
    }
    paused_ = false;
    frameMilliseconds_ = frameMilliseconds;
    ::SetTimer(hwnd(), kFrameTimer, frameMilliseconds_, nullptr);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CAnimationPicture::Pause() {
    if (bitmapId_ == 0) {
        return;
    }
    paused_ = true;
    ::KillTimer(hwnd(), kFrameTimer);
}

void CAnimationPicture::Clear() {
    if (hwnd() != nullptr) {
        ::KillTimer(hwnd(), kFrameTimer);
        ::InvalidateRect(hwnd(), nullptr, TRUE);
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
    paused_ = false;
}

void CAnimationPicture::NextFrame() {
    if (frames_ > 0) {
        frame_ = (frame_ + 1) % frames_;
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void CAnimationPicture::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd(), &paint);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, SkinBrush());
    if (strip_ != nullptr) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, strip_);
        const int x = (client.right - frameSize_) / 2;
        const int y = (client.bottom - frameSize_) / 2;
        ::BitBlt(dc, x, y, frameSize_, frameSize_, source, frame_ * frameSize_, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    }
    ::EndPaint(hwnd(), &paint);
}

}  // namespace arkivo::ui

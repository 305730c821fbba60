// A picture control that plays a strip of square frames (one bitmap resource, frames side by
// side) in a loop, or shows nothing.
#pragma once

#include <windows.h>

namespace arkivo::ui {

class CAnimationPicture {
  public:
    CAnimationPicture() = default;
    ~CAnimationPicture();
    CAnimationPicture(const CAnimationPicture&) = delete;
    CAnimationPicture& operator=(const CAnimationPicture&) = delete;

    void Attach(HWND control);
    void Play(int bitmapId);
    void Clear();

    int playing() const { return bitmapId_; }  // 0 when nothing plays
    int frame() const { return frame_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR self);
    void Paint();
    void Release();

    HWND control_ = nullptr;
    HBITMAP strip_ = nullptr;
    int bitmapId_ = 0;
    int frames_ = 0;
    int frameSize_ = 0;
    int frame_ = 0;
};

}  // namespace arkivo::ui

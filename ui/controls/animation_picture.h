// A picture control that plays a strip of square frames (one bitmap resource, frames side by
// side) in a loop, or shows nothing.
#pragma once

#include <windows.h>

#include "ui/framework/subclass.h"

namespace arkivo::ui {

// The pace of the progress pictures.
inline constexpr UINT kDefaultFrameMilliseconds = 90;

class CAnimationPicture : public CSubclass {
  public:
    CAnimationPicture();
    ~CAnimationPicture() override;

    void Play(int bitmapId, UINT frameMilliseconds = kDefaultFrameMilliseconds);
    // Holds the frame shown now; Play with the same picture goes on from it.
    void Pause();
    void Clear();

    int playing() const { return bitmapId_; }  // 0 when nothing plays
    bool paused() const { return paused_; }
    int frame() const { return frame_; }

  private:
    void Paint();
    void NextFrame();
    void Release();

    HBITMAP strip_ = nullptr;
    int bitmapId_ = 0;
    int frames_ = 0;
    int frameSize_ = 0;
    int frame_ = 0;
    UINT frameMilliseconds_ = kDefaultFrameMilliseconds;
    bool paused_ = false;
};

}  // namespace arkivo::ui

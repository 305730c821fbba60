// The window a run shows while it works: the job's two sides, a status line, a progress bar
// and an animation.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/controls/animation_picture.h"
#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CProgressDlg : public CDialog {
  public:
    explicit CProgressDlg(AppContext& context, HWND mainWindow);
    ~CProgressDlg() override;

    void SetStatusText(std::u16string_view text);
    void SetBasePath(std::u16string_view text);
    void SetTargetPath(std::u16string_view text);
    void ShowCopyAnimation();
    void ShowDeleteAnimation();
    void SetProgressRange(std::uint64_t count);
    void SetProgressPos(std::uint64_t position);

    const CAnimationPicture& animation() const { return animation_; }

  private:
    void OnInitDialog() override;
    void PlaceBesideMainWindow();

    AppContext& context_;
    HWND mainWindow_;
    CAnimationPicture animation_;
    std::uint64_t count_ = 0;
};

}  // namespace arkivo::ui

// The small window shown while an auto-detect pass that the user asked for looks for files
// to copy: a moving picture and one line of text, no buttons.
#pragma once

#include "ui/controls/animation_picture.h"
#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CAutoDetectDlg : public CDialog {
  public:
    explicit CAutoDetectDlg(AppContext& context);
    ~CAutoDetectDlg() override;

    // Creates the window the first time, and shows it over the owner.
    void Open(HWND owner);
    // Destroys the window; Open makes it again.
    void Close();
    bool IsOpen() const { return hwnd() != nullptr; }
    const CAnimationPicture& animation() const { return animation_; }

  private:
    void OnInitDialog() override;

    AppContext& context_;
    CAnimationPicture animation_;
};

}  // namespace arkivo::ui

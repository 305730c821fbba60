// The program's look, defined once: the background colour of every dialog and of the labels
// on it, the background pictures, and the image buttons with their tool tips.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/text_keys.h"
#include "ui/controls/image_button.h"
#include "ui/controls/tool_tips.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::ui {

inline constexpr COLORREF kSkinBackground = RGB(243, 246, 250);

// A group box's caption with a space on either side, so that its frame line stops short of
// the text.
std::u16string GroupCaption(std::u16string_view text);

// A brush of the skin's colour that lasts as long as the program.
HBRUSH SkinBrush();
// The answer to WM_CTLCOLORDLG, WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the dialog, its labels,
// check boxes, radio buttons and group boxes on the skin's colour.
LRESULT SkinControlColour(HDC dc);

// A bitmap resource painted as a window's background.
class CBackgroundBitmap {
  public:
    enum class Fit {
        Stretch,  // over the whole client area
        Corner,   // at its own size in the top-left corner, the skin's colour around it
    };

    CBackgroundBitmap() = default;
    ~CBackgroundBitmap();
    CBackgroundBitmap(const CBackgroundBitmap&) = delete;
    CBackgroundBitmap& operator=(const CBackgroundBitmap&) = delete;

    bool Load(int bitmapId, Fit fit);
    bool loaded() const { return bitmap_ != nullptr; }
    // The bitmap's size; 0 by 0 when none is loaded.
    SIZE Size() const;
    // What WM_ERASEBKGND paints; without a bitmap, the skin's colour alone.
    void Paint(HWND window, HDC dc) const;

  private:
    HBITMAP bitmap_ = nullptr;
    Fit fit_ = Fit::Stretch;
};

// A dialog's image buttons, each with its icon and the language text of its tool tip.
struct ImageButtonSpec {
    int id;
    int icon;
    int size;
    TextKey tip;
};

class CImageButtonBar {
  public:
    void Attach(HWND dialog, std::span<const ImageButtonSpec> buttons);
    // The tool tips in the language the store holds now.
    void SetTips(CLangIni& language);
    const CToolTips& tips() const { return tips_; }

  private:
    HWND dialog_ = nullptr;
    std::vector<ImageButtonSpec> specs_;
    std::vector<std::unique_ptr<CImageButton>> buttons_;
    CToolTips tips_;
};

}  // namespace arkivo::ui

// What the program's report-view lists share: cell texts, and rows ruled white and grey like
// paper, with the bands going on through the empty area below the last row.
#pragma once

#include <windows.h>
// The shell header builds on the declarations above.
#include <shellapi.h>

#include <string>
#include <string_view>

#include "ui/framework/subclass.h"

namespace arkivo::ui {

inline constexpr COLORREF kRuledEvenRow = RGB(255, 255, 255);
inline constexpr COLORREF kRuledOddRow = RGB(230, 232, 235);

std::u16string ListCellText(HWND list, int row, int column);
void SetListCellText(HWND list, int row, int column, std::u16string_view text);

// What the list's WM_ERASEBKGND paints: even bands in one colour and odd ones in the other,
// from the top row in sight to the bottom of the list.
void PaintRuledBackground(HWND list, HDC dc, COLORREF even, COLORREF odd);

// A list of ours: its context menu and the files dropped on it go to the class that owns it,
// and its background is ruled.
class CRuledList : public CSubclass {
  protected:
    CRuledList();
    virtual void ShowContextMenu(LPARAM position) = 0;
    virtual void OnDropFiles(HDROP drop) = 0;
};

}  // namespace arkivo::ui

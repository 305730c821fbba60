// The editor that opens over one cell of a list: it takes the list's font and the focus, and
// when it loses the focus it tells the list's dialog, as an end-label-edit notification sent
// in the list's name, whether the edit was kept (Enter, or focus moving elsewhere) or
// cancelled (Escape). Its window is gone after that; the object stays with its owner.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/framework/subclass.h"

namespace arkivo::ui {

class CInPlaceEdit : public CSubclass {
  public:
    // Opens an edit of the list's cell holding text, over cell (list client coordinates);
    // alignment is ES_LEFT, ES_RIGHT or ES_CENTER. Null when the window cannot be made.
    static std::unique_ptr<CInPlaceEdit> Open(HWND list, int row, int column, const RECT& cell,
                                              DWORD alignment, std::u16string_view text);
    // Closes a window still open without telling anybody: its list is going away.
    ~CInPlaceEdit() override;

    bool IsOpen() const { return hwnd() != nullptr; }

  private:
    CInPlaceEdit(HWND list, int row, int column);

    LRESULT DialogCode(WPARAM wParam, LPARAM lParam);
    void WidenToText();
    void Finish();

    HWND list_;
    int row_;
    int column_;
    bool cancelled_ = false;
    bool finished_ = false;
};

}  // namespace arkivo::ui

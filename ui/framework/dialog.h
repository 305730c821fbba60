// The base of every dialog: creates it from its template, modal, modeless or as a page inside
// another dialog, and hands its messages to the handlers that the derived class enters in its
// message map. Notifications go first to the control that sent them; what no handler answers
// gets the skin's colours and background.
#pragma once

#include <windows.h>

#include "ui/framework/message_map.h"
#include "ui/framework/skin.h"

namespace arkivo::ui {

class CDialog {
  public:
    explicit CDialog(int templateId);
    virtual ~CDialog();

    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog's own message loop until EndDialog; -1 when it could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog as a window of its own, hidden until shown.
    bool Create(HWND owner);
    // Creates the dialog from a child template inside parent; OK and Cancel never end it.
    bool CreatePage(HWND parent);

    // Ends a modal dialog with the result, or destroys a modeless one.
    void EndDialog(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    // The dialog resource the window is made from.
    int templateId() const { return templateId_; }
    bool IsModal() const { return modal_; }
    bool IsPage() const { return page_; }

  protected:
    // Called once the controls exist; the place to fill them.
    virtual void OnInitDialog() {}
    // Called when the window goes away, modal or not.
    virtual void OnDestroy() {}

    MessageMap& map() { return map_; }
    CBackgroundBitmap& background() { return background_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    MessageResult DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool page_ = false;
    MessageMap map_;
    CBackgroundBitmap background_;
};

HINSTANCE ModuleInstance();

}  // namespace arkivo::ui

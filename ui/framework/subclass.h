// The base of every control class: takes over a control's window procedure and hands its
// messages to the handlers in its message map, and the notifications that the control sends
// its dialog about itself to the handlers in its reflected map. What no handler answers gets
// the control's own handling.
#pragma once

#include <windows.h>

#include "ui/framework/message_map.h"

namespace arkivo::ui {

class CSubclass {
  public:
    CSubclass() = default;
    virtual ~CSubclass();
    CSubclass(const CSubclass&) = delete;
    CSubclass& operator=(const CSubclass&) = delete;

    bool Attach(HWND control);
    void Detach();
    HWND hwnd() const { return control_; }

    // The object attached to a control, or null.
    static CSubclass* FromWindow(HWND control);
    // A WM_NOTIFY or WM_COMMAND that the control sent its parent, for its own handlers.
    MessageResult Reflect(UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    MessageMap& map() { return map_; }
    MessageMap& reflected() { return reflected_; }
    // The control's own handling, for handlers that act after it.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is going away; the object stays with its owner.
    virtual void OnDetached() {}

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR self);

    HWND control_ = nullptr;
    MessageMap map_;
    MessageMap reflected_;
};

// What a dialog does first with WM_NOTIFY and WM_COMMAND: let the control that sent it handle
// it, when its class has a handler.
MessageResult ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace arkivo::ui

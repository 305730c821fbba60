#include "ui/framework/subclass.h"

// The common controls header builds on the declarations above.
#include <commctrl.h>

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x41726B;
// Where a control keeps its object, for the dialog that reflects notifications to it.
constexpr wchar_t kObjectProperty[] = L"Arkivo.Subclass";

}  // namespace

CSubclass::~CSubclass() {
    Detach();
}

bool CSubclass::Attach(HWND control) {
    Detach();
    if (control == nullptr ||
        !::SetWindowSubclass(control, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    ::SetPropW(control, kObjectProperty, this);
    control_ = control;
    return true;
}

void CSubclass::Detach() {
    if (control_ != nullptr && ::IsWindow(control_)) {
        ::RemoveWindowSubclass(control_, Proc, kSubclassId);
        ::RemovePropW(control_, kObjectProperty);
    }
    control_ = nullptr;
}

CSubclass* CSubclass::FromWindow(HWND control) {
    if (control == nullptr) {
        return nullptr;
    }
    return static_cast<CSubclass*>(::GetPropW(control, kObjectProperty));
}

MessageResult CSubclass::Reflect(UINT message, WPARAM wParam, LPARAM lParam) {
    return reflected_.Dispatch(message, wParam, lParam);
}

LRESULT CSubclass::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(control_, message, wParam, lParam);
}

LRESULT CALLBACK CSubclass::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
    auto* control = reinterpret_cast<CSubclass*>(self);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, Proc, kSubclassId);
        ::RemovePropW(window, kObjectProperty);
        control->control_ = nullptr;
        control->OnDetached();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    if (const auto result = control->map_.Dispatch(message, wParam, lParam)) {
        return *result;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

MessageResult ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND sender = nullptr;
    if (message == WM_NOTIFY) {
        sender = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    } else if (message == WM_COMMAND) {
        sender = reinterpret_cast<HWND>(lParam);
    }
    if (CSubclass* control = CSubclass::FromWindow(sender)) {
        return control->Reflect(message, wParam, lParam);
    }
    return std::nullopt;
}

}  // namespace arkivo::ui

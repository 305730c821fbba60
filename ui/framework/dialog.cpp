#include "ui/framework/dialog.h"

#include "ui/framework/subclass.h"

namespace arkivo::ui {
namespace {

// Messages whose answer the dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

HINSTANCE ModuleInstance() {
    return ::GetModuleHandleW(nullptr);
}

CDialog::CDialog(int templateId) : templateId_(templateId) {}

CDialog::~CDialog() {
    if (hwnd_ != nullptr && !modal_) {
        ::DestroyWindow(hwnd_);
    }
}

INT_PTR CDialog::DoModal(HWND owner) {
    modal_ = true;
    return ::DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND owner) {
    modal_ = false;
    page_ = false;
    return ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::CreatePage(HWND parent) {
    modal_ = false;
    page_ = true;
    return ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (modal_) {
        ::EndDialog(hwnd_, result);
    } else {
        ::DestroyWindow(hwnd_);
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->OnDestroy();
        self->hwnd_ = nullptr;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        return FALSE;
    }
    return self->Handle(message, wParam, lParam);
}

INT_PTR CDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    MessageResult result = ReflectToControl(message, wParam, lParam);
    if (!result) {
        result = map_.Dispatch(message, wParam, lParam);
    }
    if (!result) {
        result = DefaultHandling(message, wParam, lParam);
    }
    if (!result) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(*result);
    }
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *result);
    return TRUE;
}

MessageResult CDialog::DefaultHandling(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_COMMAND:
            // A page is part of its parent: Enter or Escape in it is not the end of it.
            if (!page_ && HIWORD(wParam) == BN_CLICKED &&
                (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                EndDialog(LOWORD(wParam));
                return 0;
            }
            return std::nullopt;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SkinControlColour(reinterpret_cast<HDC>(wParam));
        case WM_ERASEBKGND:
            if (!background_.loaded()) {
                return std::nullopt;
            }
            background_.Paint(hwnd_, reinterpret_cast<HDC>(wParam));
            return 1;
        default:
            return std::nullopt;
    }
}

}  // namespace arkivo::ui

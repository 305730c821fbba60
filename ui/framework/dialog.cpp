#include "ui/framework/dialog.h"

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
    return ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
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
    if (const auto result = map_.Dispatch(message, wParam, lParam)) {
        if (AnswersDirectly(message)) {
            return static_cast<INT_PTR>(*result);
        }
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *result);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace arkivo::ui

#include "ui/jobs/in_place_edit.h"

// The common controls header builds on the declarations above.
#include <commctrl.h>

#include <algorithm>

#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// Room the text keeps to the editor's right edge once it grows.
constexpr int kTextMargin = 5;

bool IsControlDown() {
    return (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

CInPlaceEdit::CInPlaceEdit(HWND list, int row, int column)
    : list_(list), row_(row), column_(column) {}

std::unique_ptr<CInPlaceEdit> CInPlaceEdit::Open(HWND list, int row, int column, const RECT& cell,
                                                 DWORD alignment, std::u16string_view text) {
    std::unique_ptr<CInPlaceEdit> editor(new CInPlaceEdit(list, row, column));
    const DWORD style = WS_BORDER | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignment;
    editor->edit_ = ::CreateWindowExW(
        0, L"EDIT", L"", style, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
        list, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INPLACE_EDIT)),
        ::GetModuleHandleW(nullptr), nullptr);
    if (editor->edit_ == nullptr) {
        return nullptr;
    }
    ::SetWindowSubclass(editor->edit_, Proc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(editor.get()));
    ::SendMessageW(editor->edit_, WM_SETFONT, ::SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
    SetWindowTextOf(editor->edit_, text);
    ::SetFocus(editor->edit_);
    ::SendMessageW(editor->edit_, EM_SETSEL, 0, -1);
    return editor;
}

CInPlaceEdit::~CInPlaceEdit() {
    if (edit_ != nullptr) {
        finished_ = true;
        ::DestroyWindow(edit_);
    }
}

LRESULT CALLBACK CInPlaceEdit::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self) {
    auto* editor = reinterpret_cast<CInPlaceEdit*>(self);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, Proc, kSubclassId);
        editor->edit_ = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return editor->WindowProc(message, wParam, lParam);
}

LRESULT CInPlaceEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DialogCode(wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
                cancelled_ = wParam == VK_ESCAPE;
                ::SetFocus(list_);
                return 0;
            }
            break;
        case WM_CHAR: {
            if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
                return 0;  // already acted on at the key press; a single-line edit would beep
            }
            const LRESULT result = ::DefSubclassProc(edit_, message, wParam, lParam);
            WidenToText();
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = ::DefSubclassProc(edit_, message, wParam, lParam);
            Finish();
            return result;
        }
        default:
            break;
    }
    return ::DefSubclassProc(edit_, message, wParam, lParam);
}

// Enter and Escape end the edit, and Delete and the Ctrl shortcuts edit the text, instead of
// pressing the dialog's buttons or moving through its controls.
LRESULT CInPlaceEdit::DialogCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = ::DefSubclassProc(edit_, WM_GETDLGCODE, wParam, lParam);
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_CHAR)) {
        const WPARAM key = message->wParam;
        if (key == VK_RETURN || key == VK_ESCAPE || key == VK_DELETE || IsControlDown()) {
            code |= DLGC_WANTMESSAGE;
        }
    }
    return code;
}

// The editor grows with a text longer than the cell, up to the list's right edge; it never
// shrinks below the cell.
void CInPlaceEdit::WidenToText() {
    const std::wstring text = Wide(WindowText(edit_));
    HDC dc = ::GetDC(edit_);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(edit_, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(edit_, dc);

    RECT frame;
    ::GetWindowRect(edit_, &frame);
    ::MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&frame), 2);
    RECT client;
    ::GetClientRect(list_, &client);
    const int wanted = extent.cx + kTextMargin;
    if (wanted <= frame.right - frame.left) {
        return;
    }
    const int right = std::min<int>(frame.left + wanted, client.right);
    if (right > frame.right) {
        ::SetWindowPos(edit_, nullptr, 0, 0, right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CInPlaceEdit::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    std::wstring text = Wide(WindowText(edit_));
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = list_;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list_));
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row_;
    info.item.iSubItem = column_;
    info.item.pszText = cancelled_ ? nullptr : text.data();
    info.item.cchTextMax = static_cast<int>(text.size());
    ::SendMessageW(::GetParent(list_), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    ::DestroyWindow(edit_);
}

}  // namespace arkivo::ui

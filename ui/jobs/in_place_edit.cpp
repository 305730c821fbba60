#include "ui/jobs/in_place_edit.h"

// The common controls header builds on the declarations above.
#include <commctrl.h>

#include <algorithm>

#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

// Room the text keeps to the editor's right edge once it grows.
constexpr int kTextMargin = 5;

bool IsControlDown() {
    return (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

}  // namespace

CInPlaceEdit::CInPlaceEdit(HWND list, int row, int column)
    : list_(list), row_(row), column_(column) {
    map().OnMessage(WM_GETDLGCODE, [this](WPARAM wParam, LPARAM lParam) -> MessageResult {
        return DialogCode(wParam, lParam);
    });
    map().OnMessage(WM_KEYDOWN, [this](WPARAM key, LPARAM) -> MessageResult {
        if (key != VK_ESCAPE && key != VK_RETURN) {
            return std::nullopt;
        }
        cancelled_ = key == VK_ESCAPE;
        ::SetFocus(list_);
        return 0;
    });
    map().OnMessage(WM_CHAR, [this](WPARAM key, LPARAM lParam) -> MessageResult {
        if (key == VK_ESCAPE || key == VK_RETURN) {
            return 0;  // already acted on at the key press; a single-line edit would beep
        }
        const LRESULT result = CallDefault(WM_CHAR, key, lParam);
        WidenToText();
        return result;
    });
    map().OnMessage(WM_KILLFOCUS, [this](WPARAM wParam, LPARAM lParam) -> MessageResult {
        const LRESULT result = CallDefault(WM_KILLFOCUS, wParam, lParam);
        Finish();
        return result;
    });
}

std::unique_ptr<CInPlaceEdit> CInPlaceEdit::Open(HWND list, int row, int column, const RECT& cell,
                                                 DWORD alignment, std::u16string_view text) {
    std::unique_ptr<CInPlaceEdit> editor(new CInPlaceEdit(list, row, column));
    const DWORD style = WS_BORDER | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignment;
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", style, cell.left, cell.top,
                                  cell.right - cell.left, cell.bottom - cell.top, list,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INPLACE_EDIT)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (edit == nullptr) {
        return nullptr;
    }
    editor->Attach(edit);
    ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
    SetWindowTextOf(edit, text);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    return editor;
}

CInPlaceEdit::~CInPlaceEdit() {
    if (HWND edit = hwnd()) {
        finished_ = true;
        ::DestroyWindow(edit);
    }
}

// Enter and Escape end the edit, and Delete and the Ctrl shortcuts edit the text, instead of
// pressing the dialog's buttons or moving through its controls.
LRESULT CInPlaceEdit::DialogCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = CallDefault(WM_GETDLGCODE, wParam, lParam);
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
    const std::wstring text = Wide(WindowText(hwnd()));
    HDC dc = ::GetDC(hwnd());
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd(), dc);

    RECT frame;
    ::GetWindowRect(hwnd(), &frame);
    ::MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&frame), 2);
    RECT client;
    ::GetClientRect(list_, &client);
    const int wanted = extent.cx + kTextMargin;
    if (wanted <= frame.right - frame.left) {
        return;
    }
    const int right = std::min<int>(frame.left + wanted, client.right);
    if (right > frame.right) {
        ::SetWindowPos(hwnd(), nullptr, 0, 0, right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CInPlaceEdit::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    std::wstring text = Wide(WindowText(hwnd()));
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
    ::DestroyWindow(hwnd());
}

}  // namespace arkivo::ui

#include "ui/controls/ruled_list.h"

#include <commctrl.h>

#include "ui/framework/window_text.h"

namespace arkivo::ui {
namespace {

// Beyond this a cell's text is cut; no pattern or path the program shows comes near it.
constexpr std::size_t kLongestCellText = 1 << 15;

void FillBand(HDC dc, const RECT& band, COLORREF colour) {
    ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

}  // namespace

std::u16string ListCellText(HWND list, int row, int column) {
    std::wstring buffer;
    for (std::size_t size = 512;; size *= 2) {
        buffer.assign(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut: ask again with a larger one.
        if (length + 1 < size || size >= kLongestCellText) {
            return std::u16string(buffer.begin(),
                                  buffer.begin() + static_cast<std::ptrdiff_t>(length));
        }
    }
}

void SetListCellText(HWND list, int row, int column, std::u16string_view text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void PaintRuledBackground(HWND list, HDC dc, COLORREF even, COLORREF odd) {
    RECT client;
    ::GetClientRect(list, &client);
    FillBand(dc, client, odd);
    RECT header{};
    ::GetClientRect(ListView_GetHeader(list), &header);
    int top = header.bottom;
    int height = HIWORD(ListView_GetItemSpacing(list, TRUE));
    const int first = ListView_GetTopIndex(list);
    RECT row{};
    if (ListView_GetItemCount(list) > 0 && ListView_GetItemRect(list, first, &row, LVIR_BOUNDS)) {
        top = row.top;
        height = row.bottom - row.top;
    }
    if (height <= 0) {
        return;
    }
    for (int y = top, index = first; y < client.bottom; y += height, ++index) {
        if (index % 2 == 0) {
            FillBand(dc, RECT{client.left, y, client.right, y + height}, even);
        }
    }
}

CRuledList::CRuledList() {
    map().OnMessage(WM_CONTEXTMENU, [this](WPARAM, LPARAM position) -> MessageResult {
        ShowContextMenu(position);
        return 0;
    });
    map().OnMessage(WM_DROPFILES, [this](WPARAM drop, LPARAM) -> MessageResult {
        OnDropFiles(reinterpret_cast<HDROP>(drop));
        return 0;
    });
    map().OnMessage(WM_ERASEBKGND, [this](WPARAM dc, LPARAM) -> MessageResult {
        PaintRuledBackground(hwnd(), reinterpret_cast<HDC>(dc), kRuledEvenRow, kRuledOddRow);
        return 1;
    });
}

}  // namespace arkivo::ui

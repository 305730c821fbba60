// Editing a pattern in place: a click on the pattern of the focused row opens an editor over
// the cell, and what the editor ends with is written through under the row's key.

#include "filters/filter_lists.h"
#include "ui/jobs/filter_list.h"

namespace arkivo::ui {
namespace {

// Narrower columns leave no room to type.
constexpr int kNarrowestEditableColumn = 5;
// The editor sits inside the cell's grid lines.
constexpr int kEditorInset = 4;
constexpr int kEditorRightInset = 3;

DWORD EditAlignment(HWND list, int column) {
    LVCOLUMNW format{};
    format.mask = LVCF_FMT;
    ::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&format));
    switch (format.fmt & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT:
            return ES_RIGHT;
        case LVCFMT_CENTER:
            return ES_CENTER;
        default:
            return ES_LEFT;
    }
}

}  // namespace

void CFilterList::OnLeftButtonDown(int x, int y) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    ListView_SubItemHitTest(hwnd(), &hit);
    if (hit.iItem < 0) {
        return;
    }
    const int column = IsOnPatternColumn(x) ? kPatternColumn : hit.iSubItem;
    const bool focused =
        (ListView_GetItemState(hwnd(), hit.iItem, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
    if (!focused || column == kNumberColumn) {
        return;
    }
    if ((::GetWindowLongPtrW(hwnd(), GWL_STYLE) & LVS_EDITLABELS) != 0) {
        EditCell(hit.iItem, column);
    } else {
        ListView_SetItemState(hwnd(), hit.iItem, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CFilterList::EditCell(int row, int column) {
    if (!ListView_EnsureVisible(hwnd(), row, TRUE)) {
        return;
    }
    const int columns = Header_GetItemCount(ListView_GetHeader(hwnd()));
    if (column < 0 || column >= columns ||
        ListView_GetColumnWidth(hwnd(), column) < kNarrowestEditableColumn) {
        return;
    }
    RECT cell{};
    ListView_GetItemRect(hwnd(), row, &cell, LVIR_BOUNDS);
    int offset = 0;
    for (int before = 0; before < column; ++before) {
        offset += ListView_GetColumnWidth(hwnd(), before);
    }
    RECT client;
    ::GetClientRect(hwnd(), &client);
    // A cell scrolled out of sight sideways comes into view first.
    if (offset + cell.left < 0 || offset + cell.left > client.right) {
        const int scroll = offset + cell.left;
        ListView_Scroll(hwnd(), scroll, 0);
        cell.left -= scroll;
    }
    cell.left += offset + kEditorInset;
    cell.right = cell.left + ListView_GetColumnWidth(hwnd(), column) - kEditorRightInset;
    if (cell.right > client.right) {
        cell.right = client.right;
    }
    // Opening takes the focus, which ends an editor still open elsewhere in the list first.
    editor_ = CInPlaceEdit::Open(hwnd(), row, column, cell, EditAlignment(hwnd(), column),
                                 CellText(row, column));
}

void CFilterList::OnEndEdit(const NMLVDISPINFOW& info) {
    const int row = info.item.iItem;
    if (info.item.pszText == nullptr || info.item.iSubItem != kPatternColumn || row < 0 ||
        row >= RowCount() || m_jobNumber < 1) {
        return;
    }
    const std::u16string text(info.item.pszText, info.item.pszText + ::wcslen(info.item.pszText));
    const auto outcome = EditPattern(store_, JobIndex(), row + 1, text);
    // A refused pattern leaves the row showing what the file still holds.
    if (outcome.saved) {
        SetCellText(row, kPatternColumn, text);
    }
    ShowMessages(outcome);
}

}  // namespace arkivo::ui

#include "ui/jobs/filter_list.h"

#include <windowsx.h>

#include "filters/filter_lists.h"
#include "jobs/environment_file.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kNumberWidth = 30;
constexpr int kPatternWidth = 250;
constexpr std::u16string_view kAddedPattern = u"*.exe";

int FilterMenu(int language) {
    switch (language) {
        case 1:
            return IDR_FILTER_JAPANESE;
        case 2:
            return IDR_FILTER_KOREAN;
        default:
            return IDR_FILTER_ENGLISH;
    }
}

}  // namespace

CFilterList::CFilterList(AppContext& context, CLangIni& store, CLangIni& otherStore,
                         std::wstring patternTitle)
    : context_(context),
      store_(store),
      otherStore_(otherStore),
      patternTitle_(std::move(patternTitle)) {
    if (!m_oleSession.started()) {
        ShowMessage(nullptr, kOleFailedText);
    }
}

CFilterList::~CFilterList() {
    editor_.reset();
    if (list_ != nullptr && ::IsWindow(list_)) {
        ::RemoveWindowSubclass(list_, Proc, kSubclassId);
    }
}

void CFilterList::Init(HWND list, const OptionBlock& languageOwner) {
    list_ = list;
    m_pLanguageOwner = &languageOwner;
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"NO", kNumberWidth}, {patternTitle_.c_str(), kPatternWidth}};
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<wchar_t*>(columns[i].title);
        column.iSubItem = i;
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ::DragAcceptFiles(list_, TRUE);
    ::SetWindowSubclass(list_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CFilterList::LoadJob(int jobNumber) {
    m_jobNumber = jobNumber;
    if (jobNumber < 1) {
        return;
    }
    const auto patterns = ListPatterns(store_, JobIndex());
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        InsertRow(static_cast<int>(i), static_cast<int>(i + 1), patterns[i]);
    }
    m_nextKey = static_cast<int>(patterns.size()) + 1;
}

MessageResult CFilterList::OnNotify(NMHDR& header) {
    switch (header.code) {
        case NM_CUSTOMDRAW:
            return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        case LVN_BEGINLABELEDITW:
            // The list's own label editor would edit the key number; patterns have ours.
            return TRUE;
        case LVN_ENDLABELEDITW:
            OnEndEdit(reinterpret_cast<NMLVDISPINFOW&>(header));
            return FALSE;
        default:
            return std::nullopt;
    }
}

void CFilterList::AddDefaultPattern() {
    if (m_jobNumber >= 1) {
        Add(kAddedPattern);
    }
}

void CFilterList::DeleteSelected() {
    std::vector<int> keys;
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        keys.push_back(row + 1);
    }
    if (keys.empty() || m_jobNumber < 1) {
        return;
    }
    ShowMessages(RemovePatterns(context_.EnvironmentPath(), store_, otherStore_, JobIndex(), keys));
    ListView_DeleteAllItems(list_);
    LoadJob(m_jobNumber);
}

bool CFilterList::Add(std::u16string_view pattern) {
    const auto outcome = AddPattern(context_.EnvironmentPath(), store_, JobIndex(), pattern);
    // A pattern may be stored even when the switch could not be: show what the file holds.
    ShowStoredPatternsFrom(RowCount());
    ShowMessages(outcome);
    return outcome.saved && outcome.messages.empty();
}

void CFilterList::ShowStoredPatternsFrom(int firstRow) {
    const auto patterns = ListPatterns(store_, JobIndex());
    for (std::size_t i = static_cast<std::size_t>(firstRow); i < patterns.size(); ++i) {
        InsertRow(static_cast<int>(i), static_cast<int>(i + 1), patterns[i]);
    }
    m_nextKey = static_cast<int>(patterns.size()) + 1;
    if (!patterns.empty()) {
        ListView_EnsureVisible(list_, static_cast<int>(patterns.size()) - 1, FALSE);
    }
}

void CFilterList::ShowMessages(const CommandOutcome& outcome) {
    for (const auto& message : outcome.messages) {
        ShowMessage(::GetParent(list_), context_.stores.language, message);
    }
}

int CFilterList::RowCount() const {
    return static_cast<int>(ListView_GetItemCount(list_));
}

void CFilterList::InsertRow(int row, int key, std::u16string_view pattern) {
    std::wstring number = std::to_wstring(key);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = number.data();
    const int inserted = static_cast<int>(
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCellText(inserted, kPatternColumn, pattern);
}

std::u16string CFilterList::CellText(int row, int column) const {
    return ListCellText(list_, row, column);
}

void CFilterList::SetCellText(int row, int column, std::u16string_view text) {
    SetListCellText(list_, row, column, text);
}

void CFilterList::ShowContextMenu(LPARAM position) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr),
                             MAKEINTRESOURCEW(FilterMenu(m_pLanguageOwner->m_selLang)));
    if (menu == nullptr) {
        return;
    }
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        at = MenuKeyPosition();
    }
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, list_,
                     nullptr);
    ::DestroyMenu(menu);
}

// The menu key has no pointer position: the menu opens below the focused row's pattern when
// that row is in sight, and at the list's top-left corner otherwise.
POINT CFilterList::MenuKeyPosition() const {
    POINT at{0, 0};
    RECT client;
    ::GetClientRect(list_, &client);
    RECT header{};
    ::GetClientRect(ListView_GetHeader(list_), &header);
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    RECT row{};
    if (focused >= 0 && ListView_GetItemRect(list_, focused, &row, LVIR_BOUNDS) &&
        row.top >= header.bottom && row.bottom <= client.bottom) {
        at = {kPatternColumnLeft, row.bottom};
    }
    ::ClientToScreen(list_, &at);
    return at;
}

LRESULT CFilterList::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            // Selected rows keep the list's selection colours, also while another control has
            // the focus: the rows that Delete would remove stay in sight.
            const int row = static_cast<int>(draw.nmcd.dwItemSpec);
            if (ListView_GetItemState(draw.nmcd.hdr.hwndFrom, row, LVIS_SELECTED) != 0) {
                return CDRF_DODEFAULT;
            }
            draw.clrTextBk = row % 2 == 0 ? m_evenRowColour : m_oddRowColour;
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

LRESULT CALLBACK CFilterList::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, Proc, kSubclassId);
        reinterpret_cast<CFilterList*>(self)->list_ = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<CFilterList*>(self)->WindowProc(message, wParam, lParam);
}

LRESULT CFilterList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CONTEXTMENU:
            ShowContextMenu(lParam);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == ID_FILTER_ADD) {
                AddDefaultPattern();
                return 0;
            }
            if (HIWORD(wParam) == 0 && LOWORD(wParam) == ID_FILTER_DELETE) {
                DeleteSelected();
                return 0;
            }
            break;
        case WM_LBUTTONDOWN: {
            const LRESULT result = ::DefSubclassProc(list_, message, wParam, lParam);
            OnLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return result;
        }
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_ERASEBKGND:
            PaintRuledBackground(list_, reinterpret_cast<HDC>(wParam), m_evenRowColour,
                                 m_oddRowColour);
            return 1;
        default:
            break;
    }
    return ::DefSubclassProc(list_, message, wParam, lParam);
}

}  // namespace arkivo::ui

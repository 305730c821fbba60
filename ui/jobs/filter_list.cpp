#include "ui/jobs/filter_list.h"

#include <windowsx.h>

#include "filters/filter_lists.h"
#include "jobs/environment_file.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

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
    EnterMessageMap();
}

void CFilterList::EnterMessageMap() {
    map().OnCommand(ID_FILTER_ADD, [this] { AddDefaultPattern(); });
    map().OnCommand(ID_FILTER_DELETE, [this] { DeleteSelected(); });
    map().OnMessage(WM_LBUTTONDOWN, [this](WPARAM wParam, LPARAM lParam) -> MessageResult {
        const LRESULT result = CallDefault(WM_LBUTTONDOWN, wParam, lParam);
        OnLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return result;
    });
    reflected().OnMessage(WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> MessageResult {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
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
    });
}

CFilterList::~CFilterList() {
    editor_.reset();
    Detach();
}

void CFilterList::Init(HWND list, const OptionBlock& languageOwner) {
    Attach(list);
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
        ::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ::DragAcceptFiles(list, TRUE);
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

void CFilterList::AddDefaultPattern() {
    if (m_jobNumber >= 1) {
        Add(kAddedPattern);
    }
}

void CFilterList::DeleteSelected() {
    std::vector<int> keys;
    for (int row = ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(hwnd(), row, LVNI_SELECTED)) {
        keys.push_back(row + 1);
    }
    if (keys.empty() || m_jobNumber < 1) {
        return;
    }
    ShowMessages(RemovePatterns(context_.EnvironmentPath(), store_, otherStore_, JobIndex(), keys));
    ListView_DeleteAllItems(hwnd());
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
        ListView_EnsureVisible(hwnd(), static_cast<int>(patterns.size()) - 1, FALSE);
    }
}

void CFilterList::ShowMessages(const CommandOutcome& outcome) {
    for (const auto& message : outcome.messages) {
        ShowMessage(::GetParent(hwnd()), context_.stores.language, message);
    }
}

int CFilterList::RowCount() const {
    return static_cast<int>(ListView_GetItemCount(hwnd()));
}

void CFilterList::InsertRow(int row, int key, std::u16string_view pattern) {
    std::wstring number = std::to_wstring(key);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = number.data();
    const int inserted = static_cast<int>(
        ::SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCellText(inserted, kPatternColumn, pattern);
}

std::u16string CFilterList::CellText(int row, int column) const {
    return ListCellText(hwnd(), row, column);
}

void CFilterList::SetCellText(int row, int column, std::u16string_view text) {
    SetListCellText(hwnd(), row, column, text);
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
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                     nullptr);
    ::DestroyMenu(menu);
}

// The menu key has no pointer position: the menu opens below the focused row's pattern when
// that row is in sight, and at the list's top-left corner otherwise.
POINT CFilterList::MenuKeyPosition() const {
    POINT at{0, 0};
    RECT client;
    ::GetClientRect(hwnd(), &client);
    RECT header{};
    ::GetClientRect(ListView_GetHeader(hwnd()), &header);
    const int focused = ListView_GetNextItem(hwnd(), -1, LVNI_FOCUSED);
    RECT row{};
    if (focused >= 0 && ListView_GetItemRect(hwnd(), focused, &row, LVIR_BOUNDS) &&
        row.top >= header.bottom && row.bottom <= client.bottom) {
        at = {kPatternColumnLeft, row.bottom};
    }
    ::ClientToScreen(hwnd(), &at);
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
            draw.clrTextBk = row % 2 == 0 ? kRuledEvenRow : kRuledOddRow;
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

}  // namespace arkivo::ui

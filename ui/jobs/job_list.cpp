#include "ui/jobs/job_list.h"

#include <ole2.h>
#include <windowsx.h>

#include <algorithm>

#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/job_list_rows.h"
#include "jobs/job_ticks.h"
#include "settings/lang_ini.h"
#include "ui/controls/ruled_list.h"
#include "ui/framework/ole_session.h"
#include "ui/framework/window_text.h"
#include "ui/jobs/delete.h"
#include "ui/jobs/job_editing.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr COLORREF kHasFilesToCopy = RGB(255, 0, 0);
constexpr COLORREF kNormalText = RGB(0, 0, 0);

struct ColumnSpec {
    const wchar_t* title;
    int width;
};
constexpr ColumnSpec kColumns[] = {
    {L"NO", 40}, {L"BASE", 255}, {L"TARGET", 255}, {L"LAST UPDATED", 100}};

int JobListMenu(int language) {
    switch (language) {
        case 1:
            return IDR_JOBLIST_JAPANESE;
        case 2:
            return IDR_JOBLIST_KOREAN;
        default:
            return IDR_JOBLIST_ENGLISH;
    }
}

}  // namespace

CJobList::CJobList(AppContext& context, JobListHost& host) : context_(context), host_(host) {
    EnterMessageMap();
}

void CJobList::EnterMessageMap() {
    map().OnCommand(ID_JOBLIST_DELETE, [this] { DeleteSelected(); });
    map().OnCommand(ID_JOBLIST_MODIFY, [this] {
        if (m_pMenuOwner != nullptr) {
            EditSelected();
        }
    });
    map().OnMessage(WM_SIZE, [this](WPARAM wParam, LPARAM lParam) -> MessageResult {
        const LRESULT result = CallDefault(WM_SIZE, wParam, lParam);
        FitColumns();
        return result;
    });
    reflected().OnMessage(WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> MessageResult {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        switch (header.code) {
            case NM_DBLCLK:
                EditSelected();
                return 0;
            case LVN_ITEMCHANGED:
                OnItemChanged(reinterpret_cast<NMLISTVIEW&>(header));
                return 0;
            case NM_CUSTOMDRAW:
                return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
            default:
                return std::nullopt;
        }
    });
}

CJobList::~CJobList() {
    Detach();
    if (m_bOleInitialised) {
        ::OleUninitialize();
    }
}

void CJobList::Setup(HWND list, const OptionBlock& options) {
    Attach(list);
    m_pOptions = &options;
    m_pMenuOwner = host_.hwnd();
    m_bOleInitialised = SUCCEEDED(::OleInitialize(nullptr));
    if (!m_bOleInitialised) {
        ShowMessage(host_.hwnd(), kOleFailedText);
    }
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.iSubItem = i;
        ::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(hwnd(),
                                      LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ::DragAcceptFiles(list, TRUE);
}

void CJobList::FitColumns() {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    int designed = 0;
    for (const auto& column : kColumns) {
        designed += column.width;
    }
    // Only the two path columns give way; each keeps its designed width when there is room.
    const int spare =
        client.right - (designed - kColumns[kBaseColumn].width - kColumns[kTargetColumn].width);
    const int base = std::min(kColumns[kBaseColumn].width, spare / 2);
    const int target = std::min(kColumns[kTargetColumn].width, spare - base);
    if (base <= 0 || target <= 0) {
        return;
    }
    ListView_SetColumnWidth(hwnd(), kBaseColumn, base);
    ListView_SetColumnWidth(hwnd(), kTargetColumn, target);
}

void CJobList::AddJobRow(int row, const JobRecord& job) {
    const auto texts = RowTextsOf(job);
    std::wstring number = Wide(texts.number);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = number.data();
    const int inserted = static_cast<int>(
        ::SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCellText(inserted, kBaseColumn, texts.base);
    SetCellText(inserted, kTargetColumn, texts.target);
    SetCellText(inserted, kLastUpdatedColumn, texts.lastUpdated);
    ListView_SetCheckState(hwnd(), inserted, job.checked != 0);
}

bool CJobList::RefillFromFile(HWND owner) {
    EnvironmentFile file(context_.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        ShowMessage(owner, context_.stores.language, file.LoadProblem());
        return false;
    }
    if (table.jobListFlag == kHasJobList) {
        refilling_ = true;
        for (std::size_t i = 0; i < table.jobs.size(); ++i) {
            AddJobRow(static_cast<int>(i), table.jobs[i]);
        }
        refilling_ = false;
    }
    FitColumns();
    return true;
}

void CJobList::Clear() {
    refilling_ = true;
    ListView_DeleteAllItems(hwnd());
    refilling_ = false;
    pairing_.Reset();
    m_pendingRow = -1;
}

int CJobList::ReadFileToCopyFlag(int row) {
    return static_cast<int>(
        arkivo::ReadFileToCopyFlag(context_.stores.setting, static_cast<std::size_t>(row)));
}

std::vector<bool> CJobList::RowTicks() const {
    std::vector<bool> ticks;
    const int rows = RowCount();
    for (int row = 0; row < rows; ++row) {
        ticks.push_back(ListView_GetCheckState(hwnd(), row) != 0);
    }
    return ticks;
}

int CJobList::RowCount() const {
    return static_cast<int>(ListView_GetItemCount(hwnd()));
}

void CJobList::DeleteSelected() {
    Delete deletion(host_.hwnd(), context_);
    for (int row = ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(hwnd(), row, LVNI_SELECTED)) {
        if (!deletion.Add(static_cast<std::uint32_t>(row + 1))) {
            break;
        }
    }
    deletion.DeleteJobs();
    Clear();
    if (m_pMenuOwner != nullptr) {
        host_.RefreshJobList();
    }
}

void CJobList::EditSelected() {
    const int row = ListView_GetSelectionMark(hwnd());
    if (row < 0 || row >= RowCount()) {
        return;
    }
    EditJobOfRow(context_, *m_pOptions, host_, row, CellText(row, kBaseColumn),
                 CellText(row, kTargetColumn), ListView_GetCheckState(hwnd(), row) != 0);
}

LRESULT CJobList::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            draw.clrText = ReadFileToCopyFlag(static_cast<int>(draw.nmcd.dwItemSpec)) == 1
                               ? kHasFilesToCopy
                               : kNormalText;
            return CDRF_NOTIFYSUBITEMDRAW | CDRF_NEWFONT;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            draw.clrTextBk = draw.nmcd.dwItemSpec % 2 == 0 ? kRuledEvenRow : kRuledOddRow;
            return CDRF_NEWFONT;
        default:
            return CDRF_DODEFAULT;
    }
}

void CJobList::OnItemChanged(const NMLISTVIEW& change) {
    const bool tickChanged = (change.uChanged & LVIF_STATE) != 0 &&
                             ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK) != 0 &&
                             (change.uOldState & LVIS_STATEIMAGEMASK) != 0;
    if (refilling_ || !tickChanged) {
        return;
    }
    ShowMessages(StoreJobTicks(context_.EnvironmentPath(), RowTicks()));
}

void CJobList::ShowContextMenu(LPARAM position) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr),
                             MAKEINTRESOURCEW(JobListMenu(m_pOptions->m_selLang)));
    if (menu == nullptr) {
        return;
    }
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        ::GetCursorPos(&at);
    }
    m_pMenuOwner = host_.hwnd();
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                     nullptr);
    ::DestroyMenu(menu);
}

std::u16string CJobList::CellText(int row, int column) const {
    return ListCellText(hwnd(), row, column);
}

void CJobList::SetCellText(int row, int column, std::u16string_view text) {
    SetListCellText(hwnd(), row, column, text);
}

void CJobList::ShowMessages(const CommandOutcome& outcome) {
    for (const auto& message : outcome.messages) {
        ShowMessage(host_.hwnd(), context_.stores.language, message);
    }
}

}  // namespace arkivo::ui

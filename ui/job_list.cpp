#include "ui/job_list.h"

#include <ole2.h>
#include <windowsx.h>

#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/job_list_rows.h"
#include "jobs/job_ticks.h"
#include "settings/lang_ini.h"
#include "ui/controls/ruled_list.h"
#include "ui/delete.h"
#include "ui/job_editing.h"
#include "ui/ole_session.h"
#include "ui/resource.h"
#include "ui/window_text.h"

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kSubclassId = 1;
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

CJobList::CJobList(AppContext& context, JobListHost& host) : context_(context), host_(host) {}

CJobList::~CJobList() {
    if (list_ != nullptr && ::IsWindow(list_)) {
        ::RemoveWindowSubclass(list_, Proc, kSubclassId);
    }
    if (m_bOleInitialised) {
        ::OleUninitialize();
    }
}

void CJobList::Setup(HWND list, const OptionBlock& options) {
    list_ = list;
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
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ::DragAcceptFiles(list_, TRUE);
    ::SetWindowSubclass(list_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CJobList::AddJobRow(int row, const JobRecord& job) {
    const auto texts = RowTextsOf(job);
    std::wstring number = Wide(texts.number);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = number.data();
    const int inserted = static_cast<int>(
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCellText(inserted, kBaseColumn, texts.base);
    SetCellText(inserted, kTargetColumn, texts.target);
    SetCellText(inserted, kLastUpdatedColumn, texts.lastUpdated);
    ListView_SetCheckState(list_, inserted, job.checked != 0);
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
    return true;
}

void CJobList::Clear() {
    refilling_ = true;
    ListView_DeleteAllItems(list_);
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
        ticks.push_back(ListView_GetCheckState(list_, row) != 0);
    }
    return ticks;
}

int CJobList::RowCount() const {
    return static_cast<int>(ListView_GetItemCount(list_));
}

void CJobList::DeleteSelected() {
    Delete deletion(host_.hwnd(), context_);
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
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
    const int row = ListView_GetSelectionMark(list_);
    if (row < 0 || row >= RowCount()) {
        return;
    }
    EditJobOfRow(context_, *m_pOptions, host_, row, CellText(row, kBaseColumn),
                 CellText(row, kTargetColumn), ListView_GetCheckState(list_, row) != 0);
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
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, list_,
                     nullptr);
    ::DestroyMenu(menu);
}

std::u16string CJobList::CellText(int row, int column) const {
    return ListCellText(list_, row, column);
}

void CJobList::SetCellText(int row, int column, std::u16string_view text) {
    SetListCellText(list_, row, column, text);
}

void CJobList::ShowMessages(const CommandOutcome& outcome) {
    for (const auto& message : outcome.messages) {
        ShowMessage(host_.hwnd(), context_.stores.language, message);
    }
}

LRESULT CALLBACK CJobList::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, Proc, kSubclassId);
        reinterpret_cast<CJobList*>(self)->list_ = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return reinterpret_cast<CJobList*>(self)->WindowProc(message, wParam, lParam);
}

LRESULT CJobList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CONTEXTMENU:
            ShowContextMenu(lParam);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_JOBLIST_DELETE) {
                DeleteSelected();
                return 0;
            }
            if (LOWORD(wParam) == ID_JOBLIST_MODIFY) {
                if (m_pMenuOwner != nullptr) {
                    EditSelected();
                }
                return 0;
            }
            break;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_ERASEBKGND:
            PaintRuledBackground(list_, reinterpret_cast<HDC>(wParam), kRuledEvenRow, kRuledOddRow);
            return 1;
        default:
            break;
    }
    return ::DefSubclassProc(list_, message, wParam, lParam);
}

}  // namespace arkivo::ui

#include "ui/progress/progress_dlg.h"

#include <commctrl.h>

#include "engine/progress_scale.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr int kExtraHeight = 30;

}  // namespace

CProgressDlg::CProgressDlg(AppContext& context, HWND mainWindow)
    : CDialog(IDD_PROGRESS), context_(context), mainWindow_(mainWindow) {}

CProgressDlg::~CProgressDlg() {
    if (hwnd() != nullptr) {
        ::DestroyWindow(hwnd());
    }
}

void CProgressDlg::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_PROGRESS_BASE_LABEL, language, text::StaticBase);
    SetItemText(hwnd(), IDC_PROGRESS_TARGET_LABEL, language, text::StaticTarget);
    SetItemText(hwnd(), IDC_PROGRESS_BASE, language, text::StaticBase);
    SetItemText(hwnd(), IDC_PROGRESS_TARGET, language, text::StaticTarget);
    SetItemText(hwnd(), IDC_PROGRESS_STATUS, language, text::StaticEstimate);
    SetItemText(hwnd(), IDC_PROGRESS_JOB_GROUP,
                GroupCaption(language.GetValue(text::StaticJobList)));
    SetItemText(hwnd(), IDC_PROGRESS_STATE_GROUP,
                GroupCaption(language.GetValue(text::StaticProgressState)));
    background().Load(IDB_PROGRESS_BACKGROUND, CBackgroundBitmap::Fit::Corner);
    animation_.Attach(Item(IDC_PROGRESS_ANIMATION));
    PlaceBesideMainWindow();
}

void CProgressDlg::PlaceBesideMainWindow() {
    const SIZE picture = background().Size();
    if (picture.cx == 0) {
        return;
    }
    RECT main{};
    ::GetWindowRect(mainWindow_, &main);
    // The main window's top edge gives the horizontal place and its left edge the vertical
    // one, as users of the program know it.
    ::SetWindowPos(hwnd(), nullptr, main.top + 300, main.left - 50, picture.cx,
                   picture.cy + kExtraHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressDlg::SetStatusText(std::u16string_view text) {
    SetItemText(hwnd(), IDC_PROGRESS_STATUS, text);
}

void CProgressDlg::SetBasePath(std::u16string_view text) {
    SetItemText(hwnd(), IDC_PROGRESS_BASE, text);
}

void CProgressDlg::SetTargetPath(std::u16string_view text) {
    SetItemText(hwnd(), IDC_PROGRESS_TARGET, text);
}

void CProgressDlg::ShowCopyAnimation() {
    animation_.Play(IDB_COPY_ANIMATION);
}

void CProgressDlg::ShowDeleteAnimation() {
    animation_.Play(IDB_DELETE_ANIMATION);
}

void CProgressDlg::SetProgressRange(std::uint64_t count) {
    count_ = count;
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0,
                          engine::ProgressScale(count_).Range());
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
}

void CProgressDlg::SetProgressPos(std::uint64_t position) {
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS_BAR, PBM_SETPOS,
                          engine::ProgressScale(count_).Position(position), 0);
}

}  // namespace arkivo::ui

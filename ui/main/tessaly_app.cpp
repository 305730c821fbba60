#include "ui/main/tessaly_app.h"

#include <windows.h>
// The common controls header builds on the declarations above.
#include <commctrl.h>

#include <fstream>

#include "jobs/environment_file.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "ui/framework/window_text.h"
#include "ui/main/program_paths.h"
#include "ui/main/tessaly_dlg.h"

namespace arkivo::ui {

CTessalyApp::CTessalyApp(std::unique_ptr<RunControl> run) : run_(std::move(run)) {}

int CTessalyApp::InitInstance() {
    platform::SingleInstance instance(kInstanceMutex);
    if (!instance.IsFirst()) {
        ShowMessage(nullptr, u"Already Excuting, See Tray Icon");
        return 0;
    }
    const auto executable = platform::ExecutablePath();
    const std::u16string folder = ProgramFolderOf(executable.u16string());
    platform::WriteUserString(kProgramKey, kProgramValue, folder);

    stores_.LoadAll(std::filesystem::path(folder));
    EnsureEnvironmentFile(stores_.EnvironmentPath());
    m_bShowWindow = std::ifstream("ShowWindow.ini").is_open();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    AppContext context{stores_, executable, m_bShowWindow};
    CTessalyDlg dialog(context, std::move(run_));
    dialog.DoModal(nullptr);
    return 0;
}

}  // namespace arkivo::ui

#include "ui/jobs/job_editing.h"

#include "jobs/modify_job.h"
#include "ui/framework/window_text.h"
#include "ui/jobs/job_list.h"
#include "ui/jobs/modify_list.h"

namespace arkivo::ui {

void EditJobOfRow(AppContext& context, const OptionBlock& options, JobListHost& host, int row,
                  std::u16string base, std::u16string target, bool checked) {
    ModifyList editor(context, options, static_cast<std::size_t>(row), base, target);
    if (editor.DoModal(host.hwnd()) != IDOK) {
        return;
    }
    host.SetBaseField(base);
    host.SetTargetField(target);
    host.TakeFtpFields(editor.baseFtp(), editor.targetFtp());
    JobEdit edit;
    edit.jobIndex = static_cast<std::size_t>(row);
    edit.checked = checked;
    edit.base = base;
    edit.target = target;
    edit.baseFtp = editor.baseFtp();
    edit.targetFtp = editor.targetFtp();
    edit.type = editor.chosenType();
    const auto outcome = ModifyJob(context.EnvironmentPath(), edit);
    for (const auto& messages : {&outcome.messages, &outcome.warnings}) {
        for (const auto& message : *messages) {
            ShowMessage(host.hwnd(), context.stores.language, message);
        }
    }
    host.RefreshJobList();
}

}  // namespace arkivo::ui

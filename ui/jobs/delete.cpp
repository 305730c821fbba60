#include "ui/jobs/delete.h"

#include "jobs/job_commands.h"
#include "ui/framework/window_text.h"

namespace arkivo::ui {

Delete::Delete(HWND owner, AppContext& context) : owner_(owner), context_(context) {}

bool Delete::Add(std::uint32_t jobNumber) {
    if (numbers_.size() >= kMaxJobs) {
        return false;
    }
    numbers_.push_back(jobNumber);
    return true;
}

void Delete::DeleteJobs() {
    if (numbers_.empty()) {
        return;
    }
    auto& stores = context_.stores;
    const auto outcome = arkivo::DeleteJobs(
        context_.EnvironmentPath(), {stores.filter, stores.filterInc, stores.setting}, numbers_);
    for (const auto& message : outcome.messages) {
        ShowMessage(owner_, stores.language, message);
    }
}

}  // namespace arkivo::ui

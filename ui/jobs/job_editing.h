// Editing the job of one list row in the job editor and saving what the editor returns.
#pragma once

#include <string>

#include "ui/main/app_context.h"

namespace arkivo::ui {

class JobListHost;

void EditJobOfRow(AppContext& context, const OptionBlock& options, JobListHost& host, int row,
                  std::u16string base, std::u16string target, bool checked);

}  // namespace arkivo::ui

// The job list's delete command: the jobs chosen by number leave the table, their per-job
// sections leave the settings and filter files, and the rest close up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/main/app_context.h"

namespace arkivo::ui {

class Delete {
  public:
    Delete(HWND owner, AppContext& context);

    // False when the list is full: it holds as many numbers as the table holds jobs.
    bool Add(std::uint32_t jobNumber);
    void DeleteJobs();

    const std::vector<std::uint32_t>& numbers() const { return numbers_; }

  private:
    HWND owner_;
    AppContext& context_;
    std::vector<std::uint32_t> numbers_;
};

}  // namespace arkivo::ui

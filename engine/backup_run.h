// A backup run: every ticked job (or the jobs asked for) in table order, with one report.
#pragma once

#include "engine/run_observer.h"
#include "engine/run_options.h"

namespace arkivo {
struct AppStores;
}

namespace arkivo::engine {

class RunController;

// Runs on the calling thread; RunController::Start calls it on a worker.
RunSummary RunBackup(AppStores& stores, RunObserver& observer, RunController& control,
                     const RunOptions& options);

}  // namespace arkivo::engine

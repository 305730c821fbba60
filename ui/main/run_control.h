// What the main dialog needs of the backup engine to start, pause, resume and stop runs.
#pragma once

#include <memory>

#include "engine/run_observer.h"

namespace arkivo {
struct AppStores;
}

namespace arkivo::engine {
class RunController;
}

namespace arkivo::ui {

class RunControl {
  public:
    virtual ~RunControl() = default;
    // False when a run was already active.
    virtual bool Start(AppStores& stores, engine::RunObserver& observer) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    virtual bool IsPaused() const = 0;
    // The engine's controller behind it, which an auto-detect pass gives way to; null when
    // the runs are not the engine's.
    virtual engine::RunController* Controller() { return nullptr; }
};

// Runs through the engine's run controller.
std::unique_ptr<RunControl> MakeEngineRunControl();

}  // namespace arkivo::ui

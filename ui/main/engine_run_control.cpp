#include "engine/run_controller.h"
#include "ui/main/run_control.h"

namespace arkivo::ui {
namespace {

class EngineRunControl : public RunControl {
  public:
    bool Start(AppStores& stores, engine::RunObserver& observer) override {
        return controller_.Start(stores, observer);
    }
    void Pause() override { controller_.Pause(); }
    void Resume() override { controller_.Resume(); }
    void Stop() override { controller_.Stop(); }
    bool IsRunning() const override { return controller_.IsRunning(); }
    bool IsPaused() const override { return controller_.IsPaused(); }
    engine::RunController* Controller() override { return &controller_; }

  private:
    engine::RunController controller_;
};

}  // namespace

std::unique_ptr<RunControl> MakeEngineRunControl() {
    return std::make_unique<EngineRunControl>();
}

}  // namespace arkivo::ui

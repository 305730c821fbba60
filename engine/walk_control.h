// What tells a walk to wait or to leave: the run's pause and stop controls for a run, and for a
// walk that only looks (auto-detect) whatever ends it.
#pragma once

namespace arkivo::engine {

class RunObserver;

class WalkControl {
  public:
    // Called before every directory entry: waits, without spinning, while the walk is to
    // pause; true means leave the walk.
    virtual bool WaitWhilePausedAndCheckStop(RunObserver& observer) = 0;

  protected:
    ~WalkControl() = default;
};

}  // namespace arkivo::engine

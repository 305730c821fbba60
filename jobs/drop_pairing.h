// Registering a job by dragging two folders onto the job list: the first drop on the BASE or
// TARGET column waits for a drop on the other one.
#pragma once

namespace arkivo {

enum class DropColumn { None, Base, Target };

// The column under a drop at x (client coordinates of the list). The border between BASE and
// TARGET belongs to neither.
DropColumn DropColumnAt(int x);

class DropPairing {
  public:
    enum class Action {
        Ignore,        // the column takes no folder, or already has one waiting
        StartPending,  // show a provisional row with this folder and wait for its partner
        CompletePair,  // this folder completes the pair: register the job
    };

    Action Drop(DropColumn column);
    void Reset() { pendingBase_ = pendingTarget_ = false; }

    bool pendingBase() const { return pendingBase_; }
    bool pendingTarget() const { return pendingTarget_; }

  private:
    bool pendingBase_ = false;
    bool pendingTarget_ = false;
};

}  // namespace arkivo

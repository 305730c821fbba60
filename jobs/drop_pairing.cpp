#include "jobs/drop_pairing.h"

namespace arkivo {
namespace {

constexpr int kBaseColumnStart = 41;
constexpr int kColumnBorder = 295;
constexpr int kTargetColumnEnd = 550;

}  // namespace

DropColumn DropColumnAt(int x) {
    if (x >= kBaseColumnStart && x < kColumnBorder) {
        return DropColumn::Base;
    }
    if (x > kColumnBorder && x < kTargetColumnEnd) {
        return DropColumn::Target;
    }
    return DropColumn::None;
}

DropPairing::Action DropPairing::Drop(DropColumn column) {
    if (column == DropColumn::None) {
        return Action::Ignore;
    }
    bool& own = column == DropColumn::Base ? pendingBase_ : pendingTarget_;
    const bool partner = column == DropColumn::Base ? pendingTarget_ : pendingBase_;
    if (partner) {
        Reset();
        return Action::CompletePair;
    }
    if (own) {
        return Action::Ignore;
    }
    own = true;
    return Action::StartPending;
}

}  // namespace arkivo

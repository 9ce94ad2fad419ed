// The shuffler's Undo and Redo: every command that puts the table in a new
// order is one step, kept as the order itself (at most 256 bytes), never as
// a picture. Undo applies the step's inverse, Redo the step again, both
// through the path every order takes, so the picture looks the same at every
// step. A step may also shorten the table (Remove unused entries, Merge
// duplicate colours): the entries it drops wait past the table's end for its
// Undo, and a merge keeps the bytes of the pixels whose index it changed. A
// new step drops the steps that could be redone; past kMaxSteps the oldest
// goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "mirtav00/core/shuffle.h"

namespace mirtav {

// One step: the table's first order.size() entries went to order[i], and
// the table kept the first `kept` of them. The pixels followed order, or
// pixelMap when it is not empty (a merge: two indices to one place); patch
// then holds the bytes of the pixels the merge changed, as they were.
struct OrderStep {
  std::vector<uint8_t> order;
  int32_t kept = 0;
  std::vector<uint8_t> pixelMap;
  shuffle::IndexPatch patch;
  // A merge's uses of each entry before it (256 counts), when they were
  // known: its Undo gives them back, as its pixels split again.
  std::vector<uint64_t> usesBefore;
  int32_t Before() const { return static_cast<int32_t>(order.size()); }
};

// The order a step puts the table in (entry i to order[i]), or with `back`
// the order that takes it back; step.Before() entries.
void StepOrder(const OrderStep& step, bool back, int32_t* order);

// How many pixels use each entry after the step (with `back`, after its
// Undo), from the uses before it: entry i's pixels go where pixelMap, or
// the order, sends them; indices past the step's table stay. False, uses
// untouched, when they cannot be told: a merge taken back that kept no
// usesBefore.
bool UsesAfterStep(const OrderStep& step, bool back, uint64_t uses[256]);

// A step of a table of `count` entries: order a permutation of them, kept
// 1..count, pixelMap null or into 0..kept-1. False, *step untouched, otherwise.
bool MakeStep(const int32_t* order, int32_t count, int32_t kept, const int32_t* pixelMap, OrderStep* step);

class OrderHistory {
 public:
  static constexpr size_t kMaxSteps = 1000;

  // A new picture of `count` entries: no steps.
  void Reset(int32_t count);
  // The order just applied to the table of Count() entries (entry i went to
  // order[i]). False, with nothing kept, when it is no permutation of them.
  bool Record(const int32_t* order);
  // The step just applied, a step of a table of Count() entries (false,
  // nothing kept, otherwise).
  bool Record(OrderStep step);
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // The step Undo takes back and the one Redo takes again; null when none.
  const OrderStep* StepToUndo() const { return CanUndo() ? &steps_[done_ - 1] : nullptr; }
  const OrderStep* StepToRedo() const { return CanRedo() ? &steps_[done_] : nullptr; }
  // The order that takes the last step back; call Undone once it is applied.
  bool UndoOrder(int32_t* order) const;
  void Undone();
  // The order of the step after the current one; call Redone once applied.
  bool RedoOrder(int32_t* order) const;
  void Redone();
  size_t Steps() const { return steps_.size(); }
  // The table's length at the current step.
  int32_t Count() const { return count_; }

 private:
  int32_t count_ = 0;
  std::deque<OrderStep> steps_;
  size_t done_ = 0;  // steps applied, from the front
};

}  // namespace mirtav

// The shuffler's Undo and Redo: every command that puts the table in a new
// order is one step, kept as the order itself (at most 256 bytes), never as
// a picture. Undo applies the step's inverse, Redo the step again, both
// through the path every order takes, so the picture looks the same at every
// step. A new step drops the steps that could be redone; past kMaxSteps the
// oldest goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace mirtav {

class OrderHistory {
 public:
  static constexpr size_t kMaxSteps = 1000;

  // A new picture of `count` entries: no steps.
  void Reset(int32_t count);
  // The order just applied (entry i went to order[i]). False, with nothing
  // kept, when it is no permutation of the table's entries.
  bool Record(const int32_t* order);
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // The order that takes the last step back; call Undone once it is applied.
  bool UndoOrder(int32_t* order) const;
  void Undone();
  // The order of the step after the current one; call Redone once applied.
  bool RedoOrder(int32_t* order) const;
  void Redone();
  size_t Steps() const { return steps_.size(); }

 private:
  int32_t count_ = 0;
  std::deque<std::vector<uint8_t>> steps_;
  size_t done_ = 0;  // steps applied, from the front
};

}  // namespace mirtav

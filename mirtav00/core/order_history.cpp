#include "mirtav00/core/order_history.h"

#include "mirtav00/core/shuffle.h"

namespace mirtav {

void OrderHistory::Reset(int32_t count) {
  count_ = count;
  steps_.clear();
  done_ = 0;
}

bool OrderHistory::Record(const int32_t* order) {
  if (order == nullptr || count_ < 1 || !shuffle::IsPermutation(order, count_)) return false;
  steps_.resize(done_);
  steps_.emplace_back(order, order + count_);
  if (steps_.size() > kMaxSteps) steps_.pop_front();
  done_ = steps_.size();
  return true;
}

bool OrderHistory::UndoOrder(int32_t* order) const {
  if (!CanUndo()) return false;
  const std::vector<uint8_t>& step = steps_[done_ - 1];
  for (int32_t i = 0; i < count_; ++i) order[step[i]] = i;
  return true;
}

void OrderHistory::Undone() {
  if (CanUndo()) --done_;
}

bool OrderHistory::RedoOrder(int32_t* order) const {
  if (!CanRedo()) return false;
  const std::vector<uint8_t>& step = steps_[done_];
  for (int32_t i = 0; i < count_; ++i) order[i] = step[i];
  return true;
}

void OrderHistory::Redone() {
  if (CanRedo()) ++done_;
}

}  // namespace mirtav

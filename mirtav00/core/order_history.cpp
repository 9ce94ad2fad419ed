#include "mirtav00/core/order_history.h"

#include <algorithm>

#include <utility>

namespace mirtav {

void OrderHistory::Reset(int32_t count) {
  count_ = count;
  steps_.clear();
  done_ = 0;
}

bool MakeStep(const int32_t* order, int32_t count, int32_t kept, const int32_t* pixelMap, OrderStep* step) {
  if (order == nullptr || step == nullptr || !shuffle::IsPermutation(order, count) || kept < 1 || kept > count) {
    return false;
  }
  for (int32_t i = 0; pixelMap != nullptr && i < count; ++i) {
    if (pixelMap[i] < 0 || pixelMap[i] >= kept) return false;
  }
  step->order.assign(order, order + count);
  step->kept = kept;
  step->pixelMap.clear();
  if (pixelMap != nullptr) step->pixelMap.assign(pixelMap, pixelMap + count);
  step->patch = shuffle::IndexPatch();
  return true;
}

void StepOrder(const OrderStep& step, bool back, int32_t* order) {
  for (int32_t i = 0; i < step.Before(); ++i) {
    if (back) {
      order[step.order[i]] = i;
    } else {
      order[i] = step.order[i];
    }
  }
}

bool UsesAfterStep(const OrderStep& step, bool back, uint64_t uses[256]) {
  const int32_t n = step.Before();
  if (uses != nullptr && back && !step.pixelMap.empty() && step.usesBefore.size() == 256) {
    std::copy(step.usesBefore.begin(), step.usesBefore.end(), uses);
    return true;
  }
  if (uses == nullptr || n < 1 || n > 256 || (back && !step.pixelMap.empty()) ||
      (!step.pixelMap.empty() && step.pixelMap.size() != step.order.size())) {
    return false;
  }
  int32_t to[256];
  StepOrder(step, back, to);
  if (!step.pixelMap.empty()) std::copy(step.pixelMap.begin(), step.pixelMap.end(), to);
  uint64_t after[256];
  std::fill(after, after + n, uint64_t{0});
  std::copy(uses + n, uses + 256, after + n);
  for (int32_t i = 0; i < n; ++i) after[to[i]] += uses[i];
  std::copy(after, after + 256, uses);
  return true;
}

bool OrderHistory::Record(const int32_t* order) {
  OrderStep step;
  return MakeStep(order, count_, count_, nullptr, &step) && Record(std::move(step));
}

bool OrderHistory::Record(OrderStep step) {
  if (count_ < 1 || step.Before() != count_) return false;
  count_ = step.kept;
  steps_.resize(done_);
  steps_.push_back(std::move(step));
  if (steps_.size() > kMaxSteps) steps_.pop_front();
  done_ = steps_.size();
  return true;
}

bool OrderHistory::UndoOrder(int32_t* order) const {
  const OrderStep* step = StepToUndo();
  if (step == nullptr) return false;
  StepOrder(*step, true, order);
  return true;
}

void OrderHistory::Undone() {
  if (!CanUndo()) return;
  --done_;
  count_ = steps_[done_].Before();
}

bool OrderHistory::RedoOrder(int32_t* order) const {
  const OrderStep* step = StepToRedo();
  if (step == nullptr) return false;
  StepOrder(*step, false, order);
  return true;
}

void OrderHistory::Redone() {
  if (!CanRedo()) return;
  count_ = steps_[done_].kept;
  ++done_;
}

}  // namespace mirtav

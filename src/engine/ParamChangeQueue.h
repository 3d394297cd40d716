#pragma once

// Host parameter changes waiting for their control tick, in order of their frame
// offset (changes with equal offsets keep their arrival order). Offsets count from the
// start of the next block to be processed. Storage is fixed at construction, so adding
// never allocates; a full queue refuses the change and its caller applies it at once.
// Not locked: every caller holds the plug-in mutex.
#include <cstddef>
#include <vector>

class ParamChangeQueue {
 public:
  static constexpr int kCapacity = 4096;

  struct Change {
    int offset;
    int paramIdx;
    double value;
  };

  ParamChangeQueue() { changes_.reserve(kCapacity); }

  // Audio thread; false when the queue is full.
  bool add(int offset, int paramIdx, double value);
  // Hands every change due before `limit` to apply(paramIdx, value), in order, and
  // drops it from the queue.
  template <typename Apply>
  void takeDue(int limit, Apply apply) {
    while (front_ < changes_.size() && changes_[front_].offset < limit) {
      const Change change = changes_[front_++];
      apply(change.paramIdx, change.value);
    }
  }
  // Whether a change is due before `limit`.
  bool dueBefore(int limit) const {
    return front_ < changes_.size() && changes_[front_].offset < limit;
  }
  // After a block of `frames`: the changes left count from the next block.
  void advance(int frames);
  bool empty() const { return front_ == changes_.size(); }

 private:
  std::vector<Change> changes_;
  size_t front_ = 0;
};

#include "engine/ParamChangeQueue.h"

#include <climits>

bool ParamChangeQueue::add(int offset, int paramIdx, double value) {
  if (front_ > 0 && changes_.size() == changes_.capacity()) {
    changes_.erase(changes_.begin(), changes_.begin() + static_cast<long>(front_));
    front_ = 0;
  }
  if (changes_.size() == changes_.capacity()) return false;
  // After the last change whose offset is not greater: hosts send them in order, so
  // this is nearly always the end.
  auto position = changes_.end();
  while (position != changes_.begin() + static_cast<long>(front_) &&
         (position - 1)->offset > offset)
    --position;
  changes_.insert(position, Change{offset, paramIdx, value});
  return true;
}

void ParamChangeQueue::advance(int frames) {
  changes_.erase(changes_.begin(), changes_.begin() + static_cast<long>(front_));
  front_ = 0;
  for (Change& change : changes_)
    change.offset = change.offset < INT_MIN + frames ? INT_MIN : change.offset - frames;
}

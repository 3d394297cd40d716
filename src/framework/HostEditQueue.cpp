#include "framework/HostEditQueue.h"

void HostEditQueue::add(Kind kind, int param, double value) {
  if (kind == Kind::kValue && !edits_.empty() && edits_.back().kind == Kind::kValue &&
      edits_.back().param == param) {
    edits_.back().value = value;
    return;
  }
  if (kind == Kind::kEnd) {
    if (droppedBegins_ > 0) {
      --droppedBegins_;
      return;
    }
  } else if (edits_.size() >= kCapacity) {
    if (kind == Kind::kBegin) ++droppedBegins_;
    return;
  }
  edits_.push_back(Edit{kind, param, value});
}

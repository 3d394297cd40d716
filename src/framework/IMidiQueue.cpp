#include "framework/IMidiQueue.h"

#include <cstdlib>
#include <cstring>

namespace {

// Rounds an event count up to whole pages, at least one page.
int roundUpToPages(int events) {
  if (events < IMidiQueue::kPageEvents) return IMidiQueue::kPageEvents;
  if (events > IMidiQueue::kMaxCapacity) return IMidiQueue::kMaxCapacity;
  return (events + IMidiQueue::kPageEvents - 1) / IMidiQueue::kPageEvents * IMidiQueue::kPageEvents;
}

}  // namespace

IMidiQueue::IMidiQueue() {
  buffer_ = static_cast<IMidiMsg*>(std::malloc(sizeof(IMidiMsg) * kInitialCapacity));
  if (buffer_ != nullptr) capacity_ = kInitialCapacity;
}

IMidiQueue::~IMidiQueue() { std::free(buffer_); }

void IMidiQueue::compact() {
  if (front_ == 0) return;
  const int pending = end_ - front_;
  if (pending > 0) std::memmove(buffer_, buffer_ + front_, sizeof(IMidiMsg) * pending);
  front_ = 0;
  end_ = pending;
}

bool IMidiQueue::grow() {
  if (growthStep_ <= 0) return false;
  const long long wanted = (static_cast<long long>(capacity_) / growthStep_ + 1) * growthStep_;
  if (wanted > kMaxCapacity) return false;
  void* bigger = std::realloc(buffer_, sizeof(IMidiMsg) * static_cast<size_t>(wanted));
  if (bigger == nullptr) return false;
  buffer_ = static_cast<IMidiMsg*>(bigger);
  capacity_ = static_cast<int>(wanted);
  return true;
}

void IMidiQueue::Add(const IMidiMsg* msg) {
  if (msg == nullptr) return;
  if (end_ >= capacity_) {
    if (front_ > 0) {
      compact();
    } else if (!grow()) {
      return;  // full and cannot grow: the event is dropped
    }
  }
  int position = end_;
  if (end_ > front_ && msg->mOffset < buffer_[end_ - 1].mOffset) {
    // Goes right after the last event whose offset is not greater than the new one.
    position = end_ - 1;
    while (position > front_ && buffer_[position - 1].mOffset > msg->mOffset) --position;
    std::memmove(buffer_ + position + 1, buffer_ + position, sizeof(IMidiMsg) * (end_ - position));
  }
  buffer_[position] = *msg;
  ++end_;
}

void IMidiQueue::Flush(int frames) {
  compact();
  for (int i = 0; i < end_; ++i) buffer_[i].mOffset -= frames;
}

void IMidiQueue::Resize(int blockSize) {
  compact();
  growthStep_ = roundUpToPages(blockSize);
  const int wanted = end_ > growthStep_ ? roundUpToPages(end_) : growthStep_;
  if (wanted == capacity_ || wanted < end_) return;
  void* resized = std::realloc(buffer_, sizeof(IMidiMsg) * static_cast<size_t>(wanted));
  if (resized == nullptr) return;  // keeps the old buffer
  buffer_ = static_cast<IMidiMsg*>(resized);
  capacity_ = wanted;
}

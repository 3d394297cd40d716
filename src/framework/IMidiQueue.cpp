#include "framework/IMidiQueue.h"

#include <algorithm>
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

IMidiQueue::IMidiQueue() { reallocate(kInitialCapacity); }

IMidiQueue::~IMidiQueue() { std::free(buffer_); }

bool IMidiQueue::earlier(const Entry& a, const Entry& b) {
  return a.msg.mOffset < b.msg.mOffset || (a.msg.mOffset == b.msg.mOffset && a.arrival < b.arrival);
}

// The queue and its scratch share one block; the pending events stay at its start.
bool IMidiQueue::reallocate(int capacity) {
  void* block = std::realloc(buffer_, sizeof(Entry) * 2 * static_cast<size_t>(capacity));
  if (block == nullptr) return false;
  buffer_ = static_cast<Entry*>(block);
  scratch_ = buffer_ + capacity;
  capacity_ = capacity;
  return true;
}

void IMidiQueue::compact() {
  if (front_ == 0) return;
  const int pending = end_ - front_;
  if (pending > 0) std::memmove(buffer_, buffer_ + front_, sizeof(Entry) * pending);
  sorted_ -= front_;
  end_ = pending;
  front_ = 0;
}

bool IMidiQueue::grow() {
  if (growthStep_ <= 0) return false;
  const long long wanted = (static_cast<long long>(capacity_) / growthStep_ + 1) * growthStep_;
  return wanted <= kMaxCapacity && reallocate(static_cast<int>(wanted));
}

void IMidiQueue::Add(const IMidiMsg* msg) {
  if (msg == nullptr) return;
  if (displaced_ == 0 && end_ == capacity_) {
    if (front_ > 0)
      compact();
    else
      grow();
  }
  const Entry entry{*msg, nextArrival_++};
  if (displaced_ > 0 || end_ == capacity_)
    keepEarliest(entry);
  else
    buffer_[end_++] = entry;
}

// Full: of the held events and the new one, the latest goes. The held events are the
// ordered part, whose last is its latest, and the displacing ones, whose heap top is
// theirs.
void IMidiQueue::keepEarliest(const Entry& entry) {
  if (displaced_ == 0) settle();
  ++dropped_;
  const bool latestDisplacing =
      displaced_ > 0 && (sorted_ == front_ || earlier(buffer_[sorted_ - 1], scratch_[0]));
  if (!latestDisplacing && sorted_ == front_) return;  // no storage at all
  const Entry& latest = latestDisplacing ? scratch_[0] : buffer_[sorted_ - 1];
  if (!earlier(entry, latest)) return;  // the new event is the latest
  if (latestDisplacing)
    std::pop_heap(scratch_, scratch_ + displaced_--, earlier);
  else
    --sorted_;
  scratch_[displaced_++] = entry;
  std::push_heap(scratch_, scratch_ + displaced_, earlier);
}

// Orders what arrived since the last read (in scratch_) and merges it with the ordered
// part from the back, so pending events move only past new ones that go before them.
void IMidiQueue::settle() {
  int arrived = 0;
  if (displaced_ > 0) {
    std::sort_heap(scratch_, scratch_ + displaced_, earlier);
    arrived = displaced_;
    displaced_ = 0;
  } else {
    arrived = end_ - sorted_;
    if (arrived == 0) return;
    std::copy(buffer_ + sorted_, buffer_ + end_, scratch_);
    std::sort(scratch_, scratch_ + arrived, earlier);
  }
  int from = sorted_ - 1, to = sorted_ + arrived - 1;
  for (int next = arrived - 1; next >= 0; --to) {
    if (from >= front_ && earlier(scratch_[next], buffer_[from]))
      buffer_[to] = buffer_[from--];
    else
      buffer_[to] = scratch_[next--];
  }
  end_ = sorted_ = sorted_ + arrived;
}

bool IMidiQueue::Empty() {
  settle();
  return front_ == end_;
}

int IMidiQueue::ToDo() {
  settle();
  return end_ - front_;
}

const IMidiMsg& IMidiQueue::Peek() {
  settle();
  return buffer_[front_].msg;
}

void IMidiQueue::Remove() {
  if (!Empty()) ++front_;
}

void IMidiQueue::Flush(int frames) {
  settle();
  compact();
  for (int i = 0; i < end_; ++i) buffer_[i].msg.mOffset -= frames;
}

void IMidiQueue::Clear() { front_ = sorted_ = end_ = displaced_ = 0; }

void IMidiQueue::Resize(int blockSize) {
  settle();
  compact();
  growthStep_ = roundUpToPages(blockSize);
  const int wanted = end_ > growthStep_ ? roundUpToPages(end_) : growthStep_;
  if (wanted == capacity_ || wanted < end_) return;
  reallocate(wanted);  // a failure keeps the old buffer
}

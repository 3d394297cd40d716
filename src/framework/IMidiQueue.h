#pragma once

// Time-ordered queue of MIDI messages waiting for their control tick. Pending events
// are sorted by sample offset; events with equal offsets keep their arrival order.
//
// A delivery only appends (every plug-in format hands its events to Add one by one);
// the first read after it orders the new events (n log n) and merges them behind or
// among the pending ones, so no delivery costs more than n log n in its events
// whatever their order. Storage grows in steps sized from the host block; when it
// cannot grow, the furthest-future events are dropped (and counted), never one that
// is due earlier. Not locked: callers hold the plug-in mutex.

#include <cstdint>

#include "framework/IMidiMsg.h"

class IMidiQueue {
 public:
  static constexpr int kInitialCapacity = 1024;
  static constexpr int kPageEvents = 512;       // events in one 4096-byte page
  static constexpr int kMaxCapacity = 1 << 20;  // growth stops here; later events drop

  IMidiQueue();
  ~IMidiQueue();
  IMidiQueue(const IMidiQueue&) = delete;
  IMidiQueue& operator=(const IMidiQueue&) = delete;

  // Audio thread (a host's event delivery), plug-in mutex held. May grow the buffer.
  void Add(const IMidiMsg* msg);
  // Audio thread, plug-in mutex held. Each read first orders what was added since the
  // last one.
  bool Empty();
  int ToDo();
  const IMidiMsg& Peek();
  void Remove();
  // Moves pending events to the start of the buffer and lowers every offset by frames.
  void Flush(int frames);
  // Drops every pending event.
  void Clear();
  // Reset, plug-in mutex held: compacts and sizes the buffer for a host block size.
  void Resize(int blockSize);

  int Capacity() const { return capacity_; }
  int GrowthStep() const { return growthStep_; }
  // Events dropped because the queue was full and could not grow.
  int64_t Dropped() const { return dropped_; }

 private:
  // An event and its arrival number, which orders events with equal offsets.
  struct Entry {
    IMidiMsg msg;
    uint64_t arrival;
  };
  static bool earlier(const Entry& a, const Entry& b);

  void settle();
  void keepEarliest(const Entry& entry);
  void compact();
  bool grow();
  bool reallocate(int capacity);

  // One allocation: capacity_ queue entries, then capacity_ scratch entries.
  Entry* buffer_ = nullptr;
  Entry* scratch_ = nullptr;
  int capacity_ = 0;
  int growthStep_ = kInitialCapacity;
  // buffer_[front_, sorted_) is in order; buffer_[sorted_, end_) arrived since.
  int front_ = 0;
  int sorted_ = 0;
  int end_ = 0;
  // While full: the events that displaced later ones, a heap in scratch_ whose top is
  // the latest; buffer_[sorted_, end_) is then unused.
  int displaced_ = 0;
  uint64_t nextArrival_ = 0;
  int64_t dropped_ = 0;
};

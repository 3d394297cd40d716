#pragma once

// Time-ordered queue of MIDI messages waiting for their control tick. Pending events
// are sorted by sample offset; events with equal offsets keep their arrival order.
// Storage grows in steps sized from the host block; when it cannot grow, new events
// are dropped. Not locked: callers hold the plug-in mutex.

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

  // Audio thread (host event callback), plug-in mutex held. May grow the buffer.
  void Add(const IMidiMsg* msg);
  // Audio thread, plug-in mutex held.
  bool Empty() const { return front_ == end_; }
  int ToDo() const { return end_ - front_; }
  const IMidiMsg& Peek() const { return buffer_[front_]; }
  void Remove() { ++front_; }
  // Moves pending events to the start of the buffer and lowers every offset by frames.
  void Flush(int frames);
  // Drops every pending event.
  void Clear() { front_ = end_ = 0; }
  // Reset, plug-in mutex held: compacts and sizes the buffer for a host block size.
  void Resize(int blockSize);

  int Capacity() const { return capacity_; }
  int GrowthStep() const { return growthStep_; }

 private:
  void compact();
  bool grow();

  IMidiMsg* buffer_ = nullptr;
  int capacity_ = 0;
  int growthStep_ = kInitialCapacity;
  int front_ = 0;
  int end_ = 0;
};

#pragma once

// A queue of byte messages between exactly two threads, one writing and one reading,
// without locks or allocation after construction: the plug-in's run() hands the editor's
// messages to the worker through one, and the worker hands its answers back to run()
// through another. Each message is stored as its size (32 bits) and its bytes.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

class MessageRing {
 public:
  // Room for `capacity` bytes (rounded up to a power of two), sizes included.
  // Construction thread.
  explicit MessageRing(size_t capacity);

  // Writing thread: false, writing nothing, when the message does not fit.
  bool push(const void* data, uint32_t size);
  // Reading thread: the size of the next message, 0 when there is none.
  uint32_t nextSize() const;
  // Reading thread: copies the next message into `out` and removes it; false when
  // there is none or it does not fit into `capacity` bytes (it stays then).
  bool pop(void* out, uint32_t capacity);
  // Reading thread: removes every message.
  void clear();

 private:
  void copyIn(size_t at, const void* data, size_t size);
  void copyOut(size_t at, void* out, size_t size) const;

  std::vector<uint8_t> buffer_;
  size_t mask_;
  std::atomic<size_t> written_{0};  // bytes written so far (only the writer changes it)
  std::atomic<size_t> read_{0};     // bytes read so far (only the reader changes it)
};

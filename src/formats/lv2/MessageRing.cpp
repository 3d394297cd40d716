#include "formats/lv2/MessageRing.h"

#include <algorithm>
#include <cstring>

MessageRing::MessageRing(size_t capacity) {
  size_t size = 64;
  while (size < capacity) size *= 2;
  buffer_.assign(size, 0);
  mask_ = size - 1;
}

void MessageRing::copyIn(size_t at, const void* data, size_t size) {
  const size_t start = at & mask_;
  const size_t first = std::min(size, buffer_.size() - start);
  std::memcpy(buffer_.data() + start, data, first);
  std::memcpy(buffer_.data(), static_cast<const uint8_t*>(data) + first, size - first);
}

void MessageRing::copyOut(size_t at, void* out, size_t size) const {
  const size_t start = at & mask_;
  const size_t first = std::min(size, buffer_.size() - start);
  std::memcpy(out, buffer_.data() + start, first);
  std::memcpy(static_cast<uint8_t*>(out) + first, buffer_.data(), size - first);
}

bool MessageRing::push(const void* data, uint32_t size) {
  const size_t written = written_.load(std::memory_order_relaxed);
  const size_t used = written - read_.load(std::memory_order_acquire);
  if (used + sizeof size + size > buffer_.size()) return false;
  copyIn(written, &size, sizeof size);
  copyIn(written + sizeof size, data, size);
  written_.store(written + sizeof size + size, std::memory_order_release);
  return true;
}

uint32_t MessageRing::nextSize() const {
  const size_t read = read_.load(std::memory_order_relaxed);
  if (written_.load(std::memory_order_acquire) == read) return 0;
  uint32_t size = 0;
  copyOut(read, &size, sizeof size);
  return size;
}

bool MessageRing::pop(void* out, uint32_t capacity) {
  const size_t read = read_.load(std::memory_order_relaxed);
  if (written_.load(std::memory_order_acquire) == read) return false;
  uint32_t size = 0;
  copyOut(read, &size, sizeof size);
  if (size > capacity) return false;
  copyOut(read + sizeof size, out, size);
  read_.store(read + sizeof size + size, std::memory_order_release);
  return true;
}

void MessageRing::clear() {
  read_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
}

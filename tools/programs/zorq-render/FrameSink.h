#pragma once

#include <cstddef>

// Where rendered audio goes: interleaved float frames, block by block.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void write(const float* interleaved, size_t frames) = 0;
};

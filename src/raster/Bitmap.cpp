#include "raster/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <new>

LICE_MemBitmap::LICE_MemBitmap(int width, int height, int lineAlignment)
    : lineAlignment_(std::max(lineAlignment, 1)) {
  resize(width, height);
}

bool LICE_MemBitmap::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return false;

  const int64_t alignment = lineAlignment_;
  const int64_t rowSpan = (int64_t(width) + alignment - 1) / alignment * alignment;
  if (rowSpan > INT32_MAX) return false;
  // In 64 bits: a 32-bit size_t would wrap (2^20 x 2^20 is 0) and pass the check.
  const uint64_t pixels = uint64_t(rowSpan) * uint64_t(height);
  if (pixels > kMaxPixels) return false;
  const size_t needed = size_t(pixels);

  if (needed > capacity_) {
    // A quarter in reserve, so a bitmap that grows step by step reallocates rarely.
    size_t reserve = needed + needed / 4;
    LICE_pixel* grown = new (std::nothrow) LICE_pixel[reserve]();
    if (!grown) {
      reserve = needed;
      grown = new (std::nothrow) LICE_pixel[reserve]();
    }
    if (!grown) return false;
    pixels_.reset(grown);
    capacity_ = reserve;
  }
  width_ = width;
  height_ = height;
  rowSpan_ = int(rowSpan);
  return true;
}

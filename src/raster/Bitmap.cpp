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
  const size_t needed = size_t(rowSpan) * size_t(height);
  if (needed > kMaxPixels) return false;

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

LICE_SubBitmap::LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int width, int height)
    : parent_(parent) {
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t(x) + std::max(width, 0), parent->getWidth());
  const int64_t bottom = std::min<int64_t>(int64_t(y) + std::max(height, 0), parent->getHeight());
  if (right <= left || bottom <= top) return;
  x_ = int(left);
  y_ = int(top);
  width_ = int(right - left);
  height_ = int(bottom - top);
}

// The first stored row: the rectangle's bottom row in a flipped parent.
LICE_pixel* LICE_SubBitmap::getBits() const {
  if (width_ == 0) return parent_->getBits();
  return LICE_RowPointer(parent_, parent_->isFlipped() ? y_ + height_ - 1 : y_) + x_;
}

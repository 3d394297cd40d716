#pragma once

#include <cstddef>
#include <memory>

#include "raster/Pixel.h"

// A 32-bit raster image. Rows are stored top-down, or bottom-up when isFlipped()
// is true; every raster operation addresses rows top-down through LICE_RowPointer.
// The pixels are not part of a bitmap's const state: getBits() on a const bitmap
// still hands out writable pixels, as a handle would.
class LICE_IBitmap {
 public:
  virtual ~LICE_IBitmap() = default;

  virtual LICE_pixel* getBits() const = 0;  // first pixel of the first stored row
  virtual int getWidth() const = 0;
  virtual int getHeight() const = 0;
  virtual int getRowSpan() const = 0;  // pixels from one stored row to the next
  virtual bool isFlipped() const { return false; }
  // Changes the size (pixel contents are then undefined, but initialised). False
  // when the size is unchanged, including when the new size cannot be had.
  virtual bool resize(int width, int height) = 0;
};

// Image row y (0 is the top row) of a bitmap, honouring its storage order.
inline LICE_pixel* LICE_RowPointer(const LICE_IBitmap* bitmap, int y) {
  const int stored = bitmap->isFlipped() ? bitmap->getHeight() - 1 - y : y;
  return bitmap->getBits() + ptrdiff_t(stored) * bitmap->getRowSpan();
}

// Pixels from image row y to image row y + 1 (negative for a flipped bitmap).
inline ptrdiff_t LICE_RowStep(const LICE_IBitmap* bitmap) {
  return bitmap->isFlipped() ? -ptrdiff_t(bitmap->getRowSpan()) : bitmap->getRowSpan();
}

// Pixels on the heap. The row span is the width rounded up to a multiple of the
// line alignment (in pixels). Growing reallocates with a quarter of the new size
// in reserve; shrinking keeps the storage. New storage is cleared to zero.
class LICE_MemBitmap : public LICE_IBitmap {
 public:
  // Largest number of pixels (row span x height) a bitmap may hold: 1 GiB.
  static constexpr size_t kMaxPixels = size_t(1) << 28;

  explicit LICE_MemBitmap(int width = 0, int height = 0, int lineAlignment = 4);
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() const override { return pixels_.get(); }
  int getWidth() const override { return width_; }
  int getHeight() const override { return height_; }
  int getRowSpan() const override { return rowSpan_; }
  bool resize(int width, int height) override;

  size_t capacity() const { return capacity_; }  // pixels of storage held

 private:
  std::unique_ptr<LICE_pixel[]> pixels_;
  size_t capacity_ = 0;
  int width_ = 0;
  int height_ = 0;
  int rowSpan_ = 0;
  int lineAlignment_ = 4;
};

// A rectangle of another bitmap, drawn into in place. The rectangle is cut to the
// parent first; its pixel (0, 0) is the top-left pixel of what remains. Drawing
// through it touches nothing of the parent outside the rectangle. The parent must
// outlive it and keep its size. Not resizable.
class LICE_SubBitmap : public LICE_IBitmap {
 public:
  LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int width, int height);

  LICE_pixel* getBits() const override;
  int getWidth() const override { return width_; }
  int getHeight() const override { return height_; }
  int getRowSpan() const override { return parent_->getRowSpan(); }
  bool isFlipped() const override { return parent_->isFlipped(); }
  bool resize(int, int) override { return false; }

 private:
  LICE_IBitmap* parent_;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
};

// The editor-sized bitmap the platform layer copies to the screen. On Linux it is
// plain memory: the window code reads getBits(), getRowSpan(), getWidth() and
// getHeight() and uploads the rows (A,R,G,B bytes, row span a multiple of 4).
class LICE_SysBitmap : public LICE_MemBitmap {
 public:
  explicit LICE_SysBitmap(int width = 0, int height = 0) : LICE_MemBitmap(width, height, 4) {}
};

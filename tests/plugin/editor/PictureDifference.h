// Pixel-by-pixel comparison of two editor screenshots of the same size.
#pragma once

#include "raster/LICE.h"

// A rectangle of the window, right and bottom edges outside.
struct Area {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
constexpr Area kNowhere{0, 0, 0, 0};

// The number of pixels that differ outside `skipped`.
inline int differingPixels(const LICE_IBitmap* a, const LICE_IBitmap* b, Area skipped = kNowhere) {
  int differing = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      differing += !skipped.contains(x, y) && LICE_RowPointer(a, y)[x] != LICE_RowPointer(b, y)[x];
  return differing;
}
